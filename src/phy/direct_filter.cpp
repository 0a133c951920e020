// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>

#include "phy/polyphase_filters.h"

namespace dot11b::phy {

namespace {

constexpr std::size_t kBlockChips = 4096;

}  // namespace

DirectFilter::DirectFilter(const PolyphaseRow& row) : row_(row), phases_(row.phases(1.0)) {}

std::size_t DirectFilter::blocks() const { return (row_.chips.size() + kBlockChips - 1) / kBlockChips; }

void DirectFilter::run(std::size_t firstBlock, std::size_t endBlock, Complex* out) const {
  const std::size_t n = row_.chips.size(), overlap = row_.phaseTaps() - 1, length = row_.rowLength();
  // The chips a block reads, those before its first taken circularly, so that the sums need no wrap.
  ComplexRow window(kBlockChips + overlap);
  for (std::size_t block = firstBlock; block < endBlock; ++block) {
    const std::size_t firstChip = block * kBlockChips, count = std::min(kBlockChips, n - firstChip);
    std::size_t m = (firstChip + n - overlap % n) % n;
    for (std::size_t i = 0; i < count + overlap; ++i) {
      window[i] = row_.chips[m];
      if (++m == n) m = 0;
    }
    // Sample j = q F + phase goes to (j - delay) mod N: consecutive samples to consecutive places.
    std::size_t at = (firstChip * row_.factor + length - row_.delay % length) % length;
    for (std::size_t i = 0; i < count; ++i) {
      // Chip firstChip + i is window[i + overlap]; tap r multiplies the chip r before it.
      const Complex* newest = window.data() + i + overlap;
      for (const RealRow& taps : phases_) {
        double re = 0, im = 0;
        for (std::size_t r = 0; r < taps.size(); ++r) {
          re += taps[r] * newest[-static_cast<std::ptrdiff_t>(r)].real();
          im += taps[r] * newest[-static_cast<std::ptrdiff_t>(r)].imag();
        }
        out[at] = Complex(re, im);
        if (++at == length) at = 0;
      }
    }
  }
}

}  // namespace dot11b::phy
