// SPDX-License-Identifier: GPL-3.0-or-later
// The waterfall's data: the magnitude spectrum of successive time slices of the waveform, in dB below
// the strongest bin of all slices.
#pragma once

#include <cstddef>
#include <vector>

#include "plots/samples.h"

namespace dot11b::plots {

struct Waterfall {
  std::size_t slices = 0;      // rows, earliest first
  std::size_t bins = 0;        // samples per slice: columns, most negative frequency first
  std::vector<double> db;      // slices x bins, row by row; at most 100 dB below the peak
  std::vector<double> sliceStart;  // start of each slice, in `timeUnit`
  std::vector<double> frequency;   // each bin's frequency, in `frequencyUnit`
  double duration = 0;         // the slices' whole span, in `timeUnit`
  double fMin = 0, fMax = 0;   // -fs/2 and +fs/2, in `frequencyUnit`
  Unit timeUnit, frequencyUnit;

  double at(std::size_t slice, std::size_t bin) const { return db[slice * bins + bin]; }
};

// Slices of round(sliceSeconds * fs) samples, at least 2; a last slice that is not full is left out
// unless it is the only one. Throws std::invalid_argument on an empty waveform or a rate or slice length
// that is not positive.
Waterfall computeWaterfall(const Samples& iq, double sampleRate, double sliceSeconds);

// The largest of each group of neighbouring bins firstBin .. endBin - 1 of one slice, so that `columns`
// columns keep every peak.
std::vector<double> peakColumns(const Waterfall& w, std::size_t slice, std::size_t firstBin, std::size_t endBin,
                                std::size_t columns);

}  // namespace dot11b::plots
