// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/size_estimate.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "runtime/shortest_text.h"

namespace dot11b::phy {

namespace {

// PSDU chips for B bits at each rate and modulation.
double dataChips(const SizeEstimateInput& in) {
  const double bits = in.numberOfDataBits;
  const bool pbcc = in.highSpeedMod == 1;
  if (in.dataRate == 1) return 11 * bits;
  if (in.dataRate == 2) return 11 * bits / 2;
  if (in.dataRate == 5.5) return pbcc ? bits * (1 + in.encoderActive) : 8 * bits / 4;
  if (in.dataRate == 11) return pbcc ? (bits / 2) * (1 + in.encoderActive) : 8 * bits / 8;
  throw std::invalid_argument("Dot11b_SizeEst: data rate " + rt::shortestText(in.dataRate) +
                              " is not 1, 2, 5.5 or 11 Mbit/s");
}

}  // namespace

double sizeEstimate(const SizeEstimateInput& in) {
  const double preambleChips = (144 - 72 * in.preambleType) * 11 * in.generationMode;
  const double headerChips = (48 / (in.preambleType + 1)) * 11 * in.generationMode;
  const double ramp = in.rampType > 0 ? in.generationMode * 2 * in.rampLength : 0;
  const double signal = (preambleChips + headerChips + dataChips(in)) * in.overSampling + ramp;
  const double idle = in.idleSamples * in.generationMode;
  const double pad = std::fmod(signal + idle, 2) == 1 ? 1 : 0;
  return signal + idle + pad;
}

}  // namespace dot11b::phy
