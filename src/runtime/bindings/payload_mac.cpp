// The PSDU payload, the pseudo-noise generator and the MAC frame check sequence for the calling forms.
#include <climits>
#include <optional>
#include <stdexcept>
#include <string>

#include "mac/mac_header.h"
#include "mac/payload.h"
#include "mac/pn_generator.h"
#include "runtime/binding.h"
#include "runtime/export_macros.h"

namespace dot11b::rt {

namespace {

// A field of the settings record, or an error naming the routine and the field's path.
const Value& member(const Value& record, std::string_view path, std::string_view name) {
  const Value* found = record.isRecord() ? record.findField(name) : nullptr;
  if (found == nullptr) {
    throw std::invalid_argument("Dot11_GeneratePayload: the parameters record has no field '" + std::string(path) +
                                std::string(name) + "'");
  }
  return *found;
}

Values generatePayload(const Values& in, int) {
  const Inputs args(in, "Dot11_GeneratePayload");
  const Value& parameters = args.record(0, "parameters");
  const Value& header = member(parameters, "", "MACheader");
  const Value& fcs = member(parameters, "", "MACfcs");
  mac::PayloadSettings s;
  const double source =
      toWhole(member(parameters, "", "dataSourceType"), {"Dot11_GeneratePayload", "parameters.dataSourceType"});
  if (source < INT_MIN || source > INT_MAX) {
    throw std::invalid_argument("Dot11_GeneratePayload: data source " + std::to_string(source) + " is not 1..7");
  }
  s.dataSourceType = static_cast<int>(source);
  s.dataLength =
      toScalar(member(parameters, "", "dataLength"), {"Dot11_GeneratePayload", "parameters.dataLength"});
  s.dataSourceName =
      toText(member(parameters, "", "dataSourceName"), {"Dot11_GeneratePayload", "parameters.dataSourceName"});
  s.macHeaderActive = toFlag(member(header, "MACheader.", "Active"),
                             {"Dot11_GeneratePayload", "parameters.MACheader.Active"}) == 1;
  if (s.macHeaderActive) {
    const Value& contents = member(header, "MACheader.", "Contents");
    s.macHeaderBits = toBits(member(contents, "MACheader.Contents.", "BitStream"),
                             {"Dot11_GeneratePayload", "parameters.MACheader.Contents.BitStream"});
  }
  s.fcsActive =
      toFlag(member(fcs, "MACfcs.", "Active"), {"Dot11_GeneratePayload", "parameters.MACfcs.Active"}) == 1;
  return {fromBits(mac::generatePayload(s))};
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
