// SPDX-License-Identifier: GPL-3.0-or-later
#include "channel/random_draws.h"

#include <algorithm>
#include <array>
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

// Marsaglia's polar method: a point uniform in the unit disc gives two independent Gaussian numbers.
GaussianDraws::DiscPoint GaussianDraws::discPoint() {
  for (;;) {
    const double u = 2 * uniform() - 1, v = 2 * uniform() - 1;
    const double s = u * u + v * v;
    if (s > 0 && s < 1) return {u, v, s};
  }
}

Complex GaussianDraws::scaled(const DiscPoint& p, double variance) {
  const double scale = std::sqrt(-variance * std::log(p.s) / p.s);
  return {p.u * scale, p.v * scale};
}

Complex GaussianDraws::next(double variance) { return scaled(discPoint(), variance); }

void GaussianDraws::addTo(Complex* samples, std::size_t n, double variance) {
  // The points of a stretch first, then their logarithms and roots: with no rejection loop between them,
  // the stretch's slow arithmetic overlaps from number to number.
  constexpr std::size_t kStretch = 256;
  std::array<DiscPoint, kStretch> points;
  for (std::size_t first = 0; first < n; first += kStretch) {
    const std::size_t count = std::min(kStretch, n - first);
    // Each pair drawn is written at the next place and kept by moving on only when it lies in the disc:
    // no branch on the random rejection.
    for (std::size_t kept = 0; kept < count;) {
      const double u = 2 * uniform() - 1, v = 2 * uniform() - 1;
      const double s = u * u + v * v;
      points[kept] = {u, v, s};
      kept += static_cast<std::size_t>(s > 0 && s < 1);
    }
    for (std::size_t k = 0; k < count; ++k) samples[first + k] += scaled(points[k], variance);
  }
}

}  // namespace dot11b::channel
