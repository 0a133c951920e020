// SPDX-License-Identifier: GPL-3.0-or-later
// The packet-error-rate view's data: the PER of each rate against the SNR on a logarithmic axis, beside
// the 8 % PER of the receiver sensitivity criterion.
#pragma once

#include <string>
#include <vector>

namespace dot11b::plots {

struct PerCurve {
  std::string name;          // "11 Mbit/s"
  std::vector<double> per;   // at each SNR; NaN where no frame was lost (no logarithm)
};

struct PerCurves {
  std::vector<double> snrDb;
  std::vector<PerCurve> curves;
  std::vector<double> criterionSnr, criterionPer;  // the 8 % line across the SNR axis
  double snrMin = 0, snrMax = 1;
  double snrTickStep = 1;            // whole dB, about ten ticks across
  double perMin = 1e-3, perMax = 1;  // the decade below half a lost frame
};

// `per`: one row per curve (rates x SNRs, column-major as the calling forms hold matrices), `frames`: frames
// a point. Throws std::invalid_argument when the sizes disagree.
PerCurves computePerCurves(const std::vector<double>& snrDb, const std::vector<double>& per,
                           const std::vector<std::string>& names, double frames);

}  // namespace dot11b::plots
