// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio_options.h"

#include <stdexcept>

#include "parameter_options.h"
#include "runtime/shortest_text.h"
#include "sequence_options.h"

namespace dot11b::cli {

std::optional<double> takePositiveOption(Args& args, const std::string& name) {
  const std::optional<double> value = takeNumberOption(args, name);
  if (value && !(*value > 0))
    throw std::invalid_argument(name + " must be greater than 0, not " + rt::shortestText(*value));
  return value;
}

RadioOptions takeRadioOptions(Args& args, bool rateRequired) {
  RadioOptions o;
  o.device = takeOption(args, "--device");
  if (o.device.empty()) throw std::invalid_argument("--device ARGS is required ('dot11b devices' lists the radios)");
  const std::optional<double> frequency = takePositiveOption(args, "--frequency");
  if (!frequency) throw std::invalid_argument("--frequency HZ is required");
  o.tune.frequency = *frequency;
  for (std::string gain = takeOption(args, "--gain"); !gain.empty(); gain = takeOption(args, "--gain")) {
    const std::size_t equals = gain.find('=');
    Args value = {"--gain", equals == std::string::npos ? gain : gain.substr(equals + 1)};
    const double db = *takeNumberOption(value, "--gain");
    if (equals == std::string::npos) {
      if (o.tune.gain) throw std::invalid_argument("--gain DB is given twice");
      o.tune.gain = db;
    } else {
      if (equals == 0) throw std::invalid_argument("--gain NAME=DB needs the name of a gain stage, not '" + gain + "'");
      o.tune.stageGains.emplace_back(gain.substr(0, equals), db);
    }
  }
  o.tune.antenna = takeOption(args, "--antenna");
  o.rate = takePositiveOption(args, "--rate");
  if (rateRequired && !o.rate) throw std::invalid_argument("--rate HZ is required");
  return o;
}

}  // namespace dot11b::cli
