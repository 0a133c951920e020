// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/circular_filter.h"

#include "phy/polyphase_filters.h"
#include "phy/sample_row.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace dot11b::phy {

namespace {

// Rows of fewer samples are filtered on one core unless more are asked for.
constexpr std::size_t kParallelSamples = 1 << 18;
// Phases of at most this many taps are summed directly: below it the sums cost less than the transforms.
constexpr std::size_t kDirectPhaseTaps = 16;

// A filter no longer than the row is used as it is. A longer one is folded onto the row first, with its
// delay already applied: g[(k - delay) mod N] += h[k].
PolyphaseRow foldOntoRow(const ComplexRow& chips, std::size_t factor, const RealRow& h) {
  const std::size_t rowLength = chips.size() * factor, delay = h.size() / 2;
  if (h.size() <= rowLength) return {chips, factor, h, delay};
  RealRow folded(rowLength, 0.0);
  const std::size_t shift = rowLength - delay % rowLength;
  for (std::size_t k = 0; k < h.size(); ++k) folded[(k + shift) % rowLength] += h[k];
  return {chips, factor, folded, 0};
}

void validate(const ComplexRow& chips, std::size_t factor, const RealRow& h) {
  if (factor == 0) throw std::invalid_argument("circularFilter: the upsampling factor is 0");
  if (h.empty()) throw std::invalid_argument("circularFilter: the filter has no coefficients");
  for (std::size_t k = 0; k < h.size(); ++k) {
    if (!std::isfinite(h[k])) {
      throw std::invalid_argument("circularFilter: coefficient " + std::to_string(k + 1) + " is not finite");
    }
  }
  for (std::size_t m = 0; m < chips.size(); ++m) {
    if (!std::isfinite(chips[m].real()) || !std::isfinite(chips[m].imag())) {
      throw std::invalid_argument("circularFilter: chip " + std::to_string(m + 1) + " is not finite");
    }
  }
  if (!chips.empty() && factor > SIZE_MAX / chips.size()) {
    throw std::invalid_argument("circularFilter: " + std::to_string(chips.size()) + " chips times factor " +
                                std::to_string(factor) + " exceed the addressable size");
  }
}

// Each worker filters a stretch of consecutive blocks into the row; a short row is not worth starting
// threads for.
template <typename Filter>
void filterOnWorkers(const Filter& filter, unsigned threads, std::size_t rowLength, Complex* row) {
  const unsigned available = threads != 0                   ? threads
                             : rowLength < kParallelSamples ? 1
                                                            : std::thread::hardware_concurrency();
  const std::size_t blocks = filter.blocks();
  const std::size_t workers = std::clamp<std::size_t>(available, 1, blocks);
  std::vector<std::thread> pool;
  for (std::size_t w = 1; w < workers; ++w) {
    pool.emplace_back([&, w] { filter.run(w * blocks / workers, (w + 1) * blocks / workers, row); });
  }
  filter.run(0, blocks / workers, row);
  for (std::thread& t : pool) t.join();
}

}  // namespace

ComplexRow circularFilter(const ComplexRow& chips, std::size_t factor, const RealRow& h, unsigned threads,
                          std::size_t capacity) {
  validate(chips, factor, h);
  if (chips.empty()) return {};
  const PolyphaseRow polyphase = foldOntoRow(chips, factor, h);
  ComplexRow filtered = reservedRow(std::max(capacity, polyphase.rowLength()));
  filtered.resize(polyphase.rowLength());
  if (polyphase.phaseTaps() <= kDirectPhaseTaps) {
    filterOnWorkers(DirectFilter(polyphase), threads, polyphase.rowLength(), filtered.data());
  } else {
    filterOnWorkers(FftBlockFilter(polyphase), threads, polyphase.rowLength(), filtered.data());
  }
  return filtered;
}

}  // namespace dot11b::phy
