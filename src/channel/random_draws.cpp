// SPDX-License-Identifier: GPL-3.0-or-later
#include "channel/random_draws.h"

#include <algorithm>
#include <cmath>

#include "channel/ziggurat.h"

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
    : lanes_(Xoshiro256::seeded(mixed(mixed(seed) + static_cast<std::uint64_t>(stream)))), more_(lanes_.next()) {}

void GaussianDraws::refill() {
  lanes_.fill(words_.data(), kBlock);
  standardNormals(words_.data(), normals_.data(), kBlock, more_);
  used_ = 0;
}

Complex GaussianDraws::next(double variance) {
  if (used_ == kBlock) refill();
  const double deviation = std::sqrt(variance / 2);
  const Complex z(deviation * normals_[used_], deviation * normals_[used_ + 1]);
  used_ += 2;
  return z;
}

void GaussianDraws::addTo(const Complex* from, Complex* to, std::size_t n, double variance) {
  const double deviation = std::sqrt(variance / 2);
  // A complex number is its real and imaginary parts in turn, as the numbers are laid out: one long sum.
  const auto* in = reinterpret_cast<const double*>(from);
  auto* parts = reinterpret_cast<double*>(to);
  for (std::size_t left = 2 * n; left > 0;) {
    if (used_ == kBlock) refill();
    const std::size_t count = std::min(left, kBlock - used_);
    const double* normals = normals_.data() + used_;
    for (std::size_t k = 0; k < count; ++k) parts[k] = in[k] + deviation * normals[k];
    in += count;
    parts += count;
    used_ += count;
    left -= count;
  }
}

}  // namespace dot11b::channel
