// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/calculate.h"

#include <stdexcept>
#include <string>

#include "runtime/binding.h"
#include "runtime/shortest_text.h"
#include "settings/parameter_rules.h"

namespace dot11b::settings {

using rt::Value;

namespace {

double number(const Value& record, std::string_view name) { return record.field(name).scalarValue(); }
int whole(const Value& record, std::string_view name) { return static_cast<int>(number(record, name)); }

}  // namespace

phy::FrameSettings frameSettings(const Value& p) {
  phy::FrameSettings s;
  s.dataRate = number(p, "dataRate");
  s.highRateMod = whole(p, "highRateMod");
  s.preambleType = whole(p, "preambleType");
  s.locked = whole(p, "clkLocked");
  s.scramblerActive = whole(p, "scramblerActive");
  s.encoderActive = whole(p, "encoderActive");
  s.generationMode = whole(p, "generationMode");
  s.idleSamples = number(p, "idleSamples");
  s.rampType = whole(p, "rampType");
  s.rampLength = number(p, "rampLength");
  s.oversamplingRate = number(p, "OverSampling");
  s.filterType = whole(p, "FilterType");
  s.filterFactor = number(p, "FilterFactor");
  s.filterTaps = number(p, "FilterTaps") * number(p, "OverSampling");
  s.mirrorSpectrum = number(p, "MirrorSpectrum") != 0;
  return s;
}

mac::PayloadSettings payloadSettings(const Value& p) {
  // Hosts may pass any record: every field is checked, and messages name it.
  const auto ref = [](std::string_view path) { return rt::ArgRef{"Dot11_GeneratePayload", path}; };
  const auto member = [](const Value& record, std::string_view name, std::string_view path) -> const Value& {
    const Value* found = record.isRecord() ? record.findField(name) : nullptr;
    if (found == nullptr)
      throw std::invalid_argument("Dot11_GeneratePayload: the parameters record has no field '" + std::string(path) + "'");
    return *found;
  };
  const Value& header = member(p, "MACheader", "MACheader");
  const Value& fcs = member(p, "MACfcs", "MACfcs");
  mac::PayloadSettings s;
  const double source = rt::toWhole(member(p, "dataSourceType", "dataSourceType"), ref("parameters.dataSourceType"));
  if (source < 1 || source > 7)
    throw std::invalid_argument("Dot11_GeneratePayload: data source " + rt::shortestText(source) + " is not 1..7");
  s.dataSourceType = static_cast<int>(source);
  s.dataLength = rt::toScalar(member(p, "dataLength", "dataLength"), ref("parameters.dataLength"));
  s.dataSourceName = rt::toText(member(p, "dataSourceName", "dataSourceName"), ref("parameters.dataSourceName"));
  s.macHeaderActive = rt::toFlag(member(header, "Active", "MACheader.Active"), ref("parameters.MACheader.Active")) == 1;
  if (s.macHeaderActive) {
    const Value& contents = member(header, "Contents", "MACheader.Contents");
    s.macHeaderBits = rt::toBits(member(contents, "BitStream", "MACheader.Contents.BitStream"),
                                 ref("parameters.MACheader.Contents.BitStream"));
  }
  s.fcsActive = rt::toFlag(member(fcs, "Active", "MACfcs.Active"), ref("parameters.MACfcs.Active")) == 1;
  return s;
}

phy::Frame calculate(const Value& parameters) {
  validateParameters(parameters);
  return phy::generateFrame(mac::generatePayload(payloadSettings(parameters)), frameSettings(parameters));
}

}  // namespace dot11b::settings
