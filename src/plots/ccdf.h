// SPDX-License-Identifier: GPL-3.0-or-later
// The CCDF view's data: how often the instantaneous power exceeds the average by each threshold, beside
// the curve that Gaussian noise of the same kind (real or complex) would give.
#pragma once

#include <vector>

#include "plots/samples.h"

namespace dot11b::plots {

struct Ccdf {
  std::vector<double> thresholdsDb;      // 201 thresholds from 0 to maxDb, dB above average
  std::vector<double> measuredPercent;   // samples at or above each threshold, % (1e-300 for none)
  std::vector<double> referencePercent;  // Gaussian noise, %
  double maxDb = 20;                     // end of the threshold axis, at least 20 dB
  double floorPercent = 0.001;           // bottom of the logarithmic axis
  bool real = false;                     // every sample real: compared with real Gaussian noise
};

// The 1000 samples drawn when there is no waveform.
Samples ccdfTestSignal();

// The CCDF of `iq`; an empty waveform gives the CCDF of the test signal.
Ccdf computeCcdf(const Samples& iq);

}  // namespace dot11b::plots
