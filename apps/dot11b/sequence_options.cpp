// SPDX-License-Identifier: GPL-3.0-or-later
#include "sequence_options.h"

#include <cmath>
#include <stdexcept>

#include "parameter_options.h"
#include "runtime/number_text.h"
#include "runtime/shortest_text.h"
#include "runtime/value_range.h"
#include "settings/template_parameters.h"

namespace dot11b::cli {

namespace {

std::optional<mac::MacAddress> takeAddress(Args& args, const std::string& name) {
  const std::string text = takeOption(args, name);
  if (text.empty()) return std::nullopt;
  try {
    return mac::parseMacAddress(text);
  } catch (const std::invalid_argument& e) {
    throw std::invalid_argument(name + ": " + e.what());
  }
}

// A whole number option in lowest..highest, or `otherwise` when absent.
double takeWholeOption(Args& args, const std::string& name, double lowest, double highest, double otherwise) {
  const std::optional<double> value = takeNumberOption(args, name);
  if (!value) return otherwise;
  if (*value != std::floor(*value) || *value < lowest || *value > highest)
    throw std::invalid_argument(name + " must be a whole number from " + rt::shortestText(lowest) + " to " +
                                rt::shortestText(highest) + ", not " + rt::shortestText(*value));
  return *value;
}

}  // namespace

std::optional<double> takeNumberOption(Args& args, const std::string& name) {
  const std::string text = takeOption(args, name);
  if (text.empty()) return std::nullopt;
  const std::optional<double> value = rt::parseReal(text);
  if (!value || !std::isfinite(*value))
    throw std::invalid_argument(name + ": '" + rt::echoed(text) + "' is not a number");
  return value;
}

testbench::SequenceSettings takeSequenceOptions(Args& args) {
  testbench::SequenceSettings s;
  s.frames = static_cast<std::size_t>(
      takeWholeOption(args, "--frames", 1, static_cast<double>(testbench::kMaxSequenceFrames), 1));
  if (const std::string payload = takeOption(args, "--payload"); !payload.empty()) {
    if (payload != "continue" && payload != "repeat")
      throw std::invalid_argument("--payload must be continue or repeat, not '" + rt::echoed(payload) + "'");
    s.payload = payload == "repeat" ? testbench::PayloadRun::kRepeat : testbench::PayloadRun::kContinue;
  }
  const std::string kind = takeOption(args, "--template");
  const std::size_t before = args.size();
  mac::TemplateSettings t;
  t.ssid = takeOption(args, "--ssid");
  t.bssid = takeAddress(args, "--bssid");
  t.ra = takeAddress(args, "--ra");
  t.ta = takeAddress(args, "--ta");
  t.beaconIntervalTu = takeWholeOption(args, "--beacon-interval", 1, 65535, t.beaconIntervalTu);
  t.channel = static_cast<int>(takeWholeOption(args, "--channel", 1, 14, 0));  // 0: the record's Channel
  if (kind.empty()) {
    if (args.size() != before)
      throw std::invalid_argument("--ssid, --bssid, --ra, --ta, --beacon-interval and --channel need --template");
    return s;
  }
  const std::optional<mac::TemplateKind> named = mac::templateKindNamed(kind);
  if (!named)
    throw std::invalid_argument("--template must be " + std::string(mac::templateNames()) + ", not '" +
                                rt::echoed(kind) + "'");
  t.kind = *named;
  s.frameTemplate = t;
  return s;
}

void applySequenceTemplate(rt::Value& parameters, testbench::SequenceSettings& sequence) {
  if (sequence.frameTemplate) settings::applyTemplate(parameters, *sequence.frameTemplate);
}

}  // namespace dot11b::cli
