// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio_options.h"

#include <algorithm>
#include <iostream>
#include <stdexcept>

#include "parameter_options.h"
#include "runtime/shortest_text.h"
#include "sdr/module_messages.h"
#include "sdr/rate_choice.h"
#include "sequence_options.h"

namespace dot11b::cli {

namespace {

std::string megasamples(double rate) { return rt::shortestText(rate / 1e6) + " Msample/s"; }

}  // namespace

std::optional<double> takePositiveOption(Args& args, const std::string& name) {
  const std::optional<double> value = takeNumberOption(args, name);
  if (value && !(*value > 0))
    throw std::invalid_argument(name + " must be greater than 0, not " + rt::shortestText(*value));
  return value;
}

RadioOptions takeRadioOptions(Args& args, bool rateRequired) {
  RadioOptions o;
  if (const auto at = std::find(args.begin(), args.end(), "--verbose"); at != args.end()) {
    args.erase(at);
    sdr::showModuleMessages(true);
  }
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

RadioOptions takeReceiveOptions(Args& args) {
  RadioOptions o = takeRadioOptions(args, true);
  if (*o.rate < sdr::kChipRate)
    throw std::invalid_argument("--rate " + megasamples(*o.rate) + " is below one sample a chip (" +
                                megasamples(sdr::kChipRate) + "): no frame can be decoded from it");
  return o;
}

void checkTransmitRate(double rate) {
  if (rate < sdr::kLowestTransmitRate)
    throw std::invalid_argument("--rate " + megasamples(rate) + " is below " + megasamples(sdr::kLowestTransmitRate) +
                                ", too few samples a chip (11 Mchip/s) for a frame that decodes");
}

double checkedDuration(double seconds) {
  if (seconds < sdr::kShortestFrame)
    throw std::invalid_argument("--duration " + rt::shortestText(seconds) + " s is shorter than the shortest frame (" +
                                rt::shortestText(sdr::kShortestFrame * 1e6) + " us)");
  return seconds;
}

void printRadioNotes(std::string_view command, const sdr::Radio& radio) {
  for (const std::string& note : radio.notes()) std::cerr << "dot11b " << command << ": note: " << note << "\n";
}

void warnOfFewSamplesAChip(std::string_view command, double rate) {
  if (rate < sdr::kLowestTransmitRate)
    std::cerr << "dot11b " << command << ": warning: " << megasamples(rate) << " is below "
              << megasamples(sdr::kLowestTransmitRate) << ", too few samples a chip for the whole of a frame's band: "
              << "its error vector grows, and weak frames may not decode\n";
}

}  // namespace dot11b::cli
