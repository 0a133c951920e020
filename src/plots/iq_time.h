// SPDX-License-Identifier: GPL-3.0-or-later
// The I(t) Q(t) view's data: the real and imaginary parts against time.
#pragma once

#include <string>
#include <vector>

#include "plots/samples.h"

namespace dot11b::plots {

struct IqTime {
  std::vector<double> time;  // sample k at k / fs, in `unit`
  std::vector<double> i, q;
  double tMax = 0;           // axis end: the waveform's duration, points / fs, in `unit`
  double amplitude = 0;      // both axes run from -amplitude to +amplitude
  Unit unit;
  bool testData = false;     // no waveform: a cosine and a sine are shown, titled "No Data"
};

// A sampling rate of 0 or below counts as 1 Hz.
IqTime computeIqTime(const Samples& iq, double sampleRate);

}  // namespace dot11b::plots
