// SPDX-License-Identifier: GPL-3.0-or-later
// Gaussian numbers that are the same, bit for bit, for a seed on every run: four xoshiro256++ engines side by
// side, their words made standard normal by a ziggurat a block at a time. The algorithms of the standard
// library's distributions differ between implementations, so the numbers are this code's own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "channel/xoshiro.h"
#include "phy/types.h"

namespace dot11b::channel {

// Each use draws from a stream of its own, so that turning one impairment on leaves the others' draws alone.
enum class Stream : std::uint64_t { Taps = 1, Noise = 2 };

class GaussianDraws {
 public:
  GaussianDraws(std::uint64_t seed, Stream stream);

  // A circular complex Gaussian number of this variance, half in each component: the next two standard
  // normal numbers of the stream, the first the real part.
  Complex next(double variance);
  // Adds to each of the n samples the number next() would give, in turn.
  void addTo(Complex* samples, std::size_t n, double variance) { addTo(samples, samples, n, variance); }
  // Sets each of the n samples `to` to that of `from` plus the number next() would give, in turn: the sum
  // addTo makes in place, in one pass where a copy and then addTo would take two. `from` may be `to`.
  void addTo(const Complex* from, Complex* to, std::size_t n, double variance);

 private:
  static constexpr std::size_t kBlock = 1024;  // standard normal numbers made at a time, an even number
  void refill();

  XoshiroLanes lanes_;
  Xoshiro256 more_;  // the further words of the ziggurat's rare edge and tail draws
  std::array<std::uint64_t, kBlock> words_;
  std::array<double, kBlock> normals_;
  std::size_t used_ = kBlock;
};

}  // namespace dot11b::channel
