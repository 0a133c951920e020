// SPDX-License-Identifier: GPL-3.0-or-later
// Random numbers that are the same, bit for bit, for a seed on every run and platform: the 64-bit Mersenne
// Twister (whose output the C++ standard fixes), with this code's own uniform and Gaussian numbers, since
// the algorithms of the standard library's distributions differ between implementations.
#pragma once

#include <cstddef>
#include <cstdint>

#include "channel/mersenne_twister.h"
#include "phy/types.h"

namespace dot11b::channel {

// Each use draws from a stream of its own, so that turning one impairment on leaves the others' draws alone.
enum class Stream : std::uint64_t { Taps = 1, Noise = 2 };

class GaussianDraws {
 public:
  GaussianDraws(std::uint64_t seed, Stream stream);

  // A circular complex Gaussian number of this variance, half in each component.
  Complex next(double variance);
  // Adds to each of the n samples the number next() would give, in turn (the same numbers, made faster).
  void addTo(Complex* samples, std::size_t n, double variance);

 private:
  struct DiscPoint {
    double u, v, s;  // s = u^2 + v^2, in (0, 1)
  };
  DiscPoint discPoint();
  static Complex scaled(const DiscPoint& p, double variance);

  // In [0, 1), with 53 random bits.
  double uniform() { return static_cast<double>(engine_() >> 11) * 0x1p-53; }

  MersenneTwister64 engine_;
};

}  // namespace dot11b::channel
