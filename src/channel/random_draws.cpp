// SPDX-License-Identifier: GPL-3.0-or-later
#include "channel/random_draws.h"

#include <cmath>

namespace dot11b::channel {

namespace {

// The SplitMix64 finaliser: neighbouring seeds and stream numbers give unrelated engine seeds.
std::uint64_t mixed(std::uint64_t z) {
  z += 0x9E3779B97F4A7C15ULL;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

}  // namespace

GaussianDraws::GaussianDraws(std::uint64_t seed, Stream stream)
    : engine_(mixed(mixed(seed) + static_cast<std::uint64_t>(stream))) {}

Complex GaussianDraws::next(double variance) {
  // Marsaglia's polar method: a point uniform in the unit disc gives two independent Gaussian numbers.
  for (;;) {
    const double u = 2 * uniform() - 1, v = 2 * uniform() - 1;
    const double s = u * u + v * v;
    if (s > 0 && s < 1) {
      const double scale = std::sqrt(-variance * std::log(s) / s);
      return {u * scale, v * scale};
    }
  }
}

}  // namespace dot11b::channel
