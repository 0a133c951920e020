// SPDX-License-Identifier: GPL-3.0-or-later
// Dot11b_SizeEst for the calling forms.
#include "phy/size_estimate.h"
#include "runtime/binding.h"
#include "runtime/export_macros.h"

namespace dot11b::rt {

namespace {

Values sizeEst(const Values& in, int) {
  const Inputs args(in, "Dot11b_SizeEst");
  phy::SizeEstimateInput s;
  s.generationMode = args.scalar(0, "generationMode");
  s.numberOfDataBits = args.scalar(1, "numberOfDATAbits");
  s.dataRate = args.scalar(2, "DATArate");
  s.highSpeedMod = args.scalar(3, "highSpeedmod");
  s.encoderActive = args.scalar(4, "encoderActive");
  s.preambleType = args.scalar(5, "preambleType");
  s.idleSamples = args.scalar(6, "idleSamples");
  s.rampType = args.scalar(7, "rampType");
  s.rampLength = args.scalar(8, "rampLength");
  s.overSampling = args.scalar(9, "OverSampling");
  return {Value::scalar(phy::sizeEstimate(s))};
}

void registerSizeEstimate(Registry& reg) { reg.add({"Dot11b_SizeEst", "dot11b_SizeEst", 1, 10, 1, sizeEst}); }

}  // namespace

DOT11B_REGISTER_ROUTINES(registerSizeEstimate)

}  // namespace dot11b::rt

DOT11B_EXPORT_1(Dot11b_SizeEst, 10)
