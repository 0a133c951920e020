// SPDX-License-Identifier: GPL-3.0-or-later
#include "sdr/radio.h"

#include <SoapySDR/Device.hpp>
#include <SoapySDR/Types.hpp>
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "runtime/shortest_text.h"
#include "sdr/module_messages.h"
#include "sdr/radio_error.h"

namespace dot11b::sdr {

namespace {

std::string directionWord(Direction d) { return d == Direction::Transmit ? "transmit" : "receive"; }

std::string rangesText(const SoapySDR::RangeList& ranges, double unit, const std::string& unitName) {
  std::string text;
  for (std::size_t k = 0; k < ranges.size(); ++k) {
    if (k > 0) text += ", ";
    text += rt::shortestText(ranges[k].minimum() / unit);
    if (ranges[k].maximum() > ranges[k].minimum()) text += " to " + rt::shortestText(ranges[k].maximum() / unit);
  }
  return text + " " + unitName;
}

bool within(const SoapySDR::RangeList& ranges, double value) {
  return std::any_of(ranges.begin(), ranges.end(), [&](const SoapySDR::Range& r) {
    const double slack = 1e-9 * std::max(std::abs(r.minimum()), std::abs(r.maximum()));
    return value >= r.minimum() - slack && value <= r.maximum() + slack;
  });
}

std::string joined(const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t k = 0; k < names.size(); ++k)
    text += (k == 0 ? "" : k + 1 == names.size() ? " and " : ", ") + names[k];
  return names.empty() ? "none" : text;
}

}  // namespace

int soapyDirection(Direction direction) { return direction == Direction::Transmit ? SOAPY_SDR_TX : SOAPY_SDR_RX; }

std::string FoundRadio::value(const std::string& key) const {
  const auto at = args.find(key);
  return at == args.end() ? std::string() : at->second;
}

std::string FoundRadio::text() const {
  std::string text;
  for (const char* key : {"driver", "label", "serial"}) {
    if (const std::string v = value(key); !v.empty()) text += (text.empty() ? "" : ", ") + std::string(key) + "=" + v;
  }
  return text;
}

std::vector<FoundRadio> findRadios(const std::string& args) {
  const QuietModules quiet;
  // A module may take a label as a hint, or not at all: a radio matches only when its label is the one given.
  const SoapySDR::Kwargs asked = SoapySDR::KwargsFromString(args);
  const auto label = asked.find("label");
  std::vector<FoundRadio> radios;
  for (SoapySDR::Kwargs& found : SoapySDR::Device::enumerate(asked)) {
    FoundRadio radio{RadioArgs(found.begin(), found.end())};
    if (label == asked.end() || radio.value("label") == label->second) radios.push_back(std::move(radio));
  }
  return radios;
}

Radio::Radio(const std::string& args, std::size_t channel) : channel_(channel) {
  const std::vector<FoundRadio> matching = findRadios(args);
  if (matching.size() != 1) {
    std::string list;
    for (const FoundRadio& r : matching.empty() ? findRadios("") : matching) list += "\n  " + r.text();
    if (matching.empty()) {
      const bool named = SoapySDR::KwargsFromString(args).count("driver") != 0;
      throw RadioError("no radio matches '" + args + "'; " +
                       (list.empty() ? "SoapySDR finds no radio at all" : "the radios found:" + list) +
                       (named ? "" : std::string("\n") + kNamedModulesHint));
    }
    throw RadioError("'" + args + "' matches " + std::to_string(matching.size()) +
                     " radios; name one by its serial:" + list);
  }
  found_ = matching.front();
  name_ = "the radio " + found_.text();
  // The radio found, not the first of those the arguments alone would find (a label is not every module's
  // hint): its own arguments, with the user's over them.
  SoapySDR::Kwargs chosen(found_.args.begin(), found_.args.end());
  for (const auto& [key, value] : SoapySDR::KwargsFromString(args)) chosen[key] = value;
  try {
    const QuietModules quiet;
    device_ = SoapySDR::Device::make(chosen);
  } catch (const std::exception& e) {
    throw RadioError(name_ + " could not be opened: " + e.what());
  }
  const std::size_t channels = device_->getNumChannels(SOAPY_SDR_TX);
  if (channel_ != 0 && channel_ >= channels) {
    const QuietModules quiet;
    SoapySDR::Device::unmake(device_);
    throw RadioError(name_ + " has no channel " + std::to_string(channel_) + ": its transmit channels are 0 to " +
                     std::to_string(channels == 0 ? 0 : channels - 1));
  }
}

Radio::~Radio() {
  try {
    const QuietModules quiet;
    SoapySDR::Device::unmake(device_);
  } catch (...) {
    // A radio that fails while being released has nothing left to give back.
  }
}

std::vector<Range> Radio::sampleRates(Direction direction) const {
  std::vector<Range> rates;
  for (const SoapySDR::Range& r : device_->getSampleRateRange(soapyDirection(direction), channel_))
    rates.push_back({r.minimum(), r.maximum(), r.step()});
  return rates;
}

Range Radio::gainRange(Direction direction) const {
  const SoapySDR::Range r = device_->getGainRange(soapyDirection(direction), channel_);
  return {r.minimum(), r.maximum(), r.step()};
}

double Radio::setSampleRate(Direction direction, double rate) {
  const std::string what = "the " + directionWord(direction) + " sample rate " + rt::shortestText(rate) + " Hz";
  const std::vector<Range> rates = sampleRates(direction);
  if (!supportsRate(rates, rate)) throw RadioError(name_ + " refused " + what + ": it runs at " + ratesText(rates));
  try {
    device_->setSampleRate(soapyDirection(direction), channel_, rate);
    return device_->getSampleRate(soapyDirection(direction), channel_);
  } catch (const std::exception& e) {
    throw RadioError(name_ + " refused " + what + ": " + e.what());
  }
}

void Radio::tune(Direction direction, const TuneSettings& settings) {
  const int dir = soapyDirection(direction);
  const std::string refused = name_ + " refused the " + directionWord(direction) + " ";
  const auto attempt = [&](const std::string& what, auto&& set) {
    try {
      set();
    } catch (const std::exception& e) {
      throw RadioError(refused + what + ": " + e.what());
    }
  };
  const std::string frequency = "frequency " + rt::shortestText(settings.frequency) + " Hz";
  if (const SoapySDR::RangeList ranges = device_->getFrequencyRange(dir, channel_); !within(ranges, settings.frequency))
    throw RadioError(refused + frequency + ": it tunes over " + rangesText(ranges, 1e6, "MHz"));
  attempt(frequency, [&] { device_->setFrequency(dir, channel_, settings.frequency); });

  if (settings.gain) {
    const std::string gain = "gain " + rt::shortestText(*settings.gain) + " dB";
    const SoapySDR::Range r = device_->getGainRange(dir, channel_);
    if (!within({r}, *settings.gain))
      throw RadioError(refused + gain + ": its gain runs from " + rangesText({r}, 1, "dB"));
    const double value = onStep(r, *settings.gain, directionWord(direction) + " " + gain);
    attempt(gain, [&] { device_->setGain(dir, channel_, value); });
  }
  const std::vector<std::string> stages = device_->listGains(dir, channel_);
  for (const auto& [stage, value] : settings.stageGains) {
    const std::string gain = "gain " + stage + "=" + rt::shortestText(value) + " dB";
    if (std::find(stages.begin(), stages.end(), stage) == stages.end())
      throw RadioError(refused + gain + ": its gain stages are " + joined(stages));
    const SoapySDR::Range r = device_->getGainRange(dir, channel_, stage);
    if (!within({r}, value))
      throw RadioError(refused + gain + ": " + stage + " runs from " + rangesText({r}, 1, "dB"));
    const double stepped = onStep(r, value, directionWord(direction) + " " + gain);
    attempt(gain, [&] { device_->setGain(dir, channel_, stage, stepped); });
  }
  if (!settings.antenna.empty()) {
    const std::string antenna = "antenna " + settings.antenna;
    const std::vector<std::string> antennas = device_->listAntennas(dir, channel_);
    if (std::find(antennas.begin(), antennas.end(), settings.antenna) == antennas.end())
      throw RadioError(refused + antenna + ": its antennas are " + joined(antennas));
    attempt(antenna, [&] { device_->setAntenna(dir, channel_, settings.antenna); });
  }
}

double Radio::onStep(const SoapySDR::Range& range, double value, const std::string& what) {
  if (range.step() <= 0) return value;
  const double steps = std::round((value - range.minimum()) / range.step());
  const double stepped = std::min(range.maximum(), range.minimum() + steps * range.step());
  if (std::abs(stepped - value) > 1e-9 * std::max(1.0, std::abs(value)))
    notes_.push_back("the " + what + " lies between the radio's steps of " + rt::shortestText(range.step()) +
                     " dB: set to " + rt::shortestText(stepped) + " dB");
  return stepped;
}

StreamFormat Radio::streamFormat(Direction direction) const {
  double fullScale = 1;
  const std::string native = device_->getNativeStreamFormat(soapyDirection(direction), channel_, fullScale);
  if (const auto format = phy::parseStreamFormat(native); format && fullScale > 0) return {*format, fullScale};
  return {SampleFormat::CF32, 1.0};
}

}  // namespace dot11b::sdr
