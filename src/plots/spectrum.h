// SPDX-License-Identifier: GPL-3.0-or-later
// The spectrum view's data: the magnitude of the exact DFT of the whole waveform in dB below its
// strongest bin, from -fs/2 to +fs/2.
#pragma once

#include <vector>

#include "plots/samples.h"

namespace dot11b::plots {

// The power of each DFT bin, |X[k]|^2, ordered from the most negative frequency to the most positive:
// bins ceil(N/2) .. N-1 (negative frequencies) and then 0 .. ceil(N/2)-1, so that bin 0 (DC) lands on 0 Hz.
std::vector<double> centredPowerSpectrum(const Samples& iq);

// The frequency of each bin of a centred spectrum of `points` bins, in the base unit: k * fs / N for
// k = -floor(N/2) .. ceil(N/2) - 1.
std::vector<double> centredFrequencies(std::size_t points, double sampleRate);

struct Spectrum {
  std::vector<double> frequency;    // in `unit`
  std::vector<double> magnitudeDb;  // 0 dB at the strongest bin
  double fMin = 0, fMax = 0;        // axis limits, -fs/2 and +fs/2 in `unit`
  double dbMin = -100, dbMax = 0;   // axis limits: whole tens, at most 100 dB apart
  Unit unit;
};

// A sampling rate of 0 or below counts as 1 Hz. An empty waveform gives a ten-bin test spectrum.
Spectrum computeSpectrum(const Samples& iq, double sampleRate);

// 10*log10 of each power, relative to the strongest; a zero power is raised (by 1e-20 of the strongest, or
// by 1e-20 when all are zero) so that no logarithm of zero is taken.
std::vector<double> relativeDb(std::vector<double> power);

}  // namespace dot11b::plots
