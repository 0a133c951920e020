// SPDX-License-Identifier: GPL-3.0-or-later
// The PSDU payload, the pseudo-noise generator and the MAC frame check sequence for the calling forms.
#include <optional>
#include <stdexcept>
#include <string>

#include "mac/mac_header.h"
#include "mac/payload.h"
#include "mac/pn_generator.h"
#include "runtime/binding.h"
#include "runtime/export_macros.h"
#include "settings/calculate.h"

namespace dot11b::rt {

namespace {

Values generatePayload(const Values& in, int) {
  const Inputs args(in, "Dot11_GeneratePayload");
  return {fromBits(mac::generatePayload(settings::payloadSettings(args.record(0, "parameters"))))};
}

// PNgenerator never fails on a value: an input of the wrong size is as good as left out. Only an input
// that is not a real number array at all is refused.
std::optional<RealRow> optionalRow(const Inputs& args, std::size_t i, std::string_view name) {
  if (!args.given(i)) return std::nullopt;
  const Value& v = args.at(i, name);
  if (!v.isNumeric() || v.isComplex()) {
    throw std::invalid_argument("PNgenerator: input '" + std::string(name) + "' must be real numbers, not " +
                                describe(v));
  }
  return v.real();
}

std::optional<double> optionalScalar(const Inputs& args, std::size_t i, std::string_view name) {
  const auto row = optionalRow(args, i, name);
  if (!row || row->size() != 1) return std::nullopt;
  return row->front();
}

Values pnGenerator(const Values& in, int) {
  const Inputs args(in, "PNgenerator");
  mac::PnOptions options;
  options.order = optionalRow(args, 0, "n");
  options.length = optionalRow(args, 1, "dataLength");
  options.userInvert = optionalScalar(args, 2, "userInvert");
  options.seed = optionalRow(args, 3, "seed");
  options.zeroSuppression = optionalScalar(args, 4, "zeroSuppresion");
  return {fromBits(mac::pnGenerator(options))};
}

Values calcMacFcs(const Values& in, int) {
  const Inputs args(in, "Dot11_CalcMACfcs");
  return {fromBits(mac::calcMacFcs(args.bits(0, "data")))};
}

void registerPayloadMac(Registry& reg) {
  reg.add({"Dot11_GeneratePayload", "dot11_GeneratePayload", 1, 1, 1, generatePayload});
  reg.add({"PNgenerator", "PNgenerator", 1, 5, 1, pnGenerator});
  reg.add({"Dot11_CalcMACfcs", "dot11_CalcMACfcs", 1, 1, 1, calcMacFcs});
}

}  // namespace

DOT11B_REGISTER_ROUTINES(registerPayloadMac)

}  // namespace dot11b::rt

DOT11B_EXPORT_1(Dot11_GeneratePayload, 1)
DOT11B_EXPORT_1(PNgenerator, 5)
DOT11B_EXPORT_1(Dot11_CalcMACfcs, 1)
