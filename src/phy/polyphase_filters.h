// SPDX-License-Identifier: GPL-3.0-or-later
// The two ways the circular filter (circular_filter.h) works, both in the polyphase form: sample
// j = q F + p of the filtered zero-stuffed row is the circular convolution of the chips with the taps
// p, p + F, p + 2F, ... (phase p) at chip q, so the zero-stuffed row is never built. Each splits the chips
// into blocks that write disjoint stretches of the output row, in order, so that workers can share the
// blocks and every block comes out the same whichever worker filters it.
#pragma once

#include <cstddef>
#include <vector>

#include "phy/fft_plan.h"
#include "phy/types.h"

namespace dot11b::phy {

struct PolyphaseRow {
  const ComplexRow& chips;
  std::size_t factor;
  RealRow taps;       // no longer than the row
  std::size_t delay;  // left rotation to apply [samples]

  std::size_t rowLength() const { return chips.size() * factor; }
  std::size_t phaseTaps() const { return (taps.size() + factor - 1) / factor; }
  // The taps of every phase, each zero-padded to phaseTaps(), with `scale` applied.
  std::vector<RealRow> phases(double scale) const;
  // Filters the chips firstChip .. firstChip + count - 1 into the row from the phases' outputs: phase p
  // of chip firstChip + i is phaseRows[p][i]. Sample j = q F + p goes to (j - delay) mod N, so that
  // consecutive samples go to consecutive places, wrapping once.
  void place(std::size_t firstChip, std::size_t count, const Complex* phaseRows, std::size_t phaseStride,
             Complex* row) const;
};

// Short filters: the convolution sums themselves, a few multiplications a sample, with no transforms to
// plan or to load.
class DirectFilter {
 public:
  explicit DirectFilter(const PolyphaseRow& row);
  std::size_t blocks() const;
  void run(std::size_t firstBlock, std::size_t endBlock, Complex* out) const;

 private:
  const PolyphaseRow& row_;
  std::vector<RealRow> phases_;
};

// Long filters: overlap-save blocks of FFT length `points`, each reading `overlap` chips that the block
// before it also read and yielding `points - overlap` new chips of every phase. A block's phases stay in
// the core's cache.
class FftBlockFilter {
 public:
  explicit FftBlockFilter(const PolyphaseRow& row);
  std::size_t blocks() const;
  void run(std::size_t firstBlock, std::size_t endBlock, Complex* out) const;

 private:
  struct Workspace;
  void filterBlock(std::size_t block, Workspace& work, Complex* out) const;

  const PolyphaseRow& row_;
  std::size_t overlap_ = 0, points_ = 0, newChips_ = 0;
  fftw_plan forward_ = nullptr, inverse_ = nullptr;  // kept for the process (keptTransform)
  std::vector<FftwBuffer> tapSpectra_;
};

}  // namespace dot11b::phy
