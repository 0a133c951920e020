// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cmath>

#include "channel/impairments.h"
#include "channel/random_draws.h"
#include "channel/stages.h"

namespace dot11b::channel {

namespace {

// to[i] += tap from[i], i = 0 .. count - 1.
void accumulate(Complex tap, const Complex* from, std::size_t count, Complex* to) {
  for (std::size_t i = 0; i < count; ++i) to[i] += product(tap, from[i]);
}

}  // namespace

ComplexRow multipathTaps(double sampleRate, double rmsNs, std::uint64_t seed) {
  Impairments im;
  im.multipathRmsNs = rmsNs;
  checkImpairments(im, sampleRate);
  if (rmsNs == 0) return {Complex(1, 0)};
  const double decay = 1 / (sampleRate * rmsNs * 1e-9);  // Ts / Trms
  const auto last = static_cast<std::size_t>(std::ceil(10 / decay));
  const double firstVariance = 1 - std::exp(-decay);
  GaussianDraws draws(seed, Stream::Taps);
  ComplexRow taps(last + 1);
  for (std::size_t k = 0; k <= last; ++k) taps[k] = draws.next(firstVariance * std::exp(-decay * static_cast<double>(k)));
  return taps;
}

void convolveCircularly(ComplexRow& row, const ComplexRow& taps) {
  const std::size_t n = row.size();
  if (n == 0) return;
  // Taps beyond the row's length fold onto it, as in any circular convolution.
  ComplexRow folded(std::min(taps.size(), n));
  for (std::size_t k = 0; k < taps.size(); ++k) folded[k % n] += taps[k];
  // Block by block from the row's end, each tap through the block, so that the block stays in the cache. A
  // block's outputs take no input after its own samples, which the blocks still to come leave alone; the
  // inputs before the row's start are its last samples, kept apart since their block goes first.
  const ComplexRow tail(row.end() - static_cast<std::ptrdiff_t>(folded.size() - 1), row.end());
  constexpr std::size_t kBlock = 2048;
  ComplexRow block(std::min(kBlock, n));
  for (std::size_t end = n; end > 0;) {
    const std::size_t count = std::min(kBlock, end), first = end - count;
    std::fill_n(block.begin(), count, Complex(0, 0));
    for (std::size_t k = 0; k < folded.size(); ++k) {
      // Output first + i takes row[first + i - k]: from the tail while that index is negative.
      const std::size_t wrapped = first >= k ? 0 : std::min(count, k - first);
      if (wrapped > 0) accumulate(folded[k], tail.data() + tail.size() - (k - first), wrapped, block.data());
      if (count > wrapped) accumulate(folded[k], row.data() + first + wrapped - k, count - wrapped, block.data() + wrapped);
    }
    std::copy_n(block.begin(), count, row.begin() + static_cast<std::ptrdiff_t>(first));
    end = first;
  }
}

}  // namespace dot11b::channel
