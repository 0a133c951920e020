// SPDX-License-Identifier: GPL-3.0-or-later
// The spectrum-mask view's data: a frame's measured spectrum relative to its peak, against the mask's
// limit drawn as a step line, in MHz off the carrier.
#pragma once

#include <string>
#include <vector>

namespace dot11b::plots {

struct MaskPlot {
  std::vector<double> frequencyMhz;  // ascending
  std::vector<double> measuredDbr;
  std::vector<double> limitDbr;      // at each frequency; NaN where the mask sets none
  // The limit as a step line, rising and falling halfway between points; NaN breaks it where no limit is set.
  std::vector<double> stepMhz, stepDbr;
  double fMin = 0, fMax = 0;         // axis limits: the first and last frequency
  double dbMin = -80, dbMax = 10;    // axis limits: whole tens below the lowest level and the limits, at most -60
  std::string maskLegend;            // "Mask (-30 dBr: 3.2 dB margin; -50 dBr: not measured)"
  std::string title;                 // "Spectrum Mask: passed", or FAILED, or not measured
};

// One of the mask's regions: its limit and the margin of the spectrum below it.
struct MaskMargin {
  double limitDbr;
  double marginDb;  // NaN: not measured
};

// `limitDbr[k]` NaN: no limit at that frequency. `regions` from the carrier out; the mask passes when the
// spectrum was measured in at least one and no measured margin is negative. Throws std::invalid_argument
// when the rows differ in length.
MaskPlot computeMaskPlot(const std::vector<double>& frequencyHz, const std::vector<double>& dbr,
                         const std::vector<double>& limitDbr, const std::vector<MaskMargin>& regions);

}  // namespace dot11b::plots
