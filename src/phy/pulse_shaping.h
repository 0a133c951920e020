// SPDX-License-Identifier: GPL-3.0-or-later
// Baseband filter design, zero-stuffing, cyclic extension and DAC quantisation.
#pragma once

#include <cstddef>

#include "phy/types.h"

namespace dot11b::phy {

// Root-raised-cosine FIR of numTaps coefficients (time in chips), roll-off alpha in (0, 1], sampPerSymb
// samples per chip; normalised to unit DC gain. Throws on numTaps < 1 or alpha <= 0.
RealRow filterRootCosine(std::size_t numTaps, double alpha, double sampPerSymb);

// Response of a Gaussian filter with bandwidth-time product bT to one rectangular chip, numCoeff
// coefficients at oversamplingRate samples per chip; not normalised. Throws on numCoeff < 1 or bT <= 0.
RealRow filterGaussian(std::size_t numCoeff, double bT, double oversamplingRate);

// Each value followed by n - 1 zeros. Throws on n < 1.
template <typename T>
std::vector<T> upsample(const std::vector<T>& x, std::size_t n);

// data repeated cyclically and cut to reqLength values.
template <typename T>
std::vector<T> extendVector(const std::vector<T>& data, std::size_t reqLength);

// Quantises real and imaginary parts to numBits (at most 32) with the largest component at
// 2^(numBits-1) - 1 levels, keeping the amplitude. numBits <= 2 or an all-zero wave: returned unchanged.
ComplexRow applyDacRes(const ComplexRow& wave, double numBits);

}  // namespace dot11b::phy

// Template definitions.

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

namespace dot11b::phy {

template <typename T>
std::vector<T> upsample(const std::vector<T>& x, std::size_t n) {
  if (n < 1) throw std::invalid_argument("Upsample: the factor must be a whole number >= 1, got 0");
  if (!x.empty() && n > std::numeric_limits<std::size_t>::max() / x.size()) {
    throw std::invalid_argument("Upsample: " + std::to_string(x.size()) + " values times factor " +
                                std::to_string(n) + " exceed the addressable size");
  }
  std::vector<T> y(x.size() * n, T{});
  for (std::size_t i = 0; i < x.size(); ++i) y[i * n] = x[i];
  return y;
}

template <typename T>
std::vector<T> extendVector(const std::vector<T>& data, std::size_t reqLength) {
  if (data.empty() && reqLength > 0) {
    throw std::invalid_argument("Extendvector: cannot extend an empty sequence to " +
                                std::to_string(reqLength) + " values");
  }
  std::vector<T> output;
  output.reserve(reqLength);
  while (output.size() < reqLength) {
    const std::size_t take = std::min(data.size(), reqLength - output.size());
    output.insert(output.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(take));
  }
  return output;
}

}  // namespace dot11b::phy
