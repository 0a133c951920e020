// SPDX-License-Identifier: GPL-3.0-or-later
// Projected number of samples of a frame, computed without generating it.
#pragma once

namespace dot11b::phy {

struct SizeEstimateInput {
  double generationMode = 1;   // 1 framed, 0 unframed
  double numberOfDataBits = 0; // PSDU length [bits]
  double dataRate = 11;        // 1, 2, 5.5 or 11 Mbit/s
  double highSpeedMod = 0;     // 0 CCK, 1 PBCC
  double encoderActive = 1;    // PBCC coder on (1) or off (0)
  double preambleType = 0;     // 0 long, 1 short
  double idleSamples = 0;      // [samples]
  double rampType = 0;         // 0 none, 1 or 2 a ramp
  double rampLength = 0;       // [samples]
  double overSampling = 4;     // samples per chip
};

// Number of samples; throws std::invalid_argument for a rate other than 1, 2, 5.5 and 11.
double sizeEstimate(const SizeEstimateInput& in);

}  // namespace dot11b::phy
