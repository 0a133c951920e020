// Dot11b_SizeEst for the calling forms.
#include "phy/size_estimate.h"
#include "runtime/binding.h"
#include "runtime/export_macros.h"

namespace dot11b::rt {

namespace {

Values sizeEst(const Values& in, int) {
  constexpr std::string_view r = "Dot11b_SizeEst";
  const auto arg = [&](std::size_t i, std::string_view name) { return toScalar(input(in, i, {r, name}), {r, name}); };
  phy::SizeEstimateInput s;
  s.generationMode = arg(0, "generationMode");
  s.numberOfDataBits = arg(1, "numberOfDATAbits");
  s.dataRate = arg(2, "DATArate");
  s.highSpeedMod = arg(3, "highSpeedmod");
  s.encoderActive = arg(4, "encoderActive");
  s.preambleType = arg(5, "preambleType");
  s.idleSamples = arg(6, "idleSamples");
  s.rampType = arg(7, "rampType");
  s.rampLength = arg(8, "rampLength");
  s.overSampling = arg(9, "OverSampling");
  return {Value::scalar(phy::sizeEstimate(s))};
}

void registerSizeEstimate(Registry& reg) { reg.add({"Dot11b_SizeEst", "dot11b_SizeEst", 1, 10, 1, sizeEst}); }

}  // namespace

DOT11B_REGISTER_ROUTINES(registerSizeEstimate)

}  // namespace dot11b::rt

DOT11B_EXPORT_1(Dot11b_SizeEst, 10)
