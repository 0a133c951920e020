// SPDX-License-Identifier: GPL-3.0-or-later
#include "loopback_radio.h"

#include <unistd.h>

#include <SoapySDR/Logger.hpp>
#include <SoapySDR/Registry.hpp>
#include <fstream>
#include <stdexcept>

namespace loopback {

namespace {

std::string text(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  return buffer;
}

SoapySDR::KwargsList find(const SoapySDR::Kwargs& args) {
  const Settings settings = settingsFrom(args);
  if (settings.noise) {
    // As the modules of some real radios do, while the host looks for radios.
    SoapySDR::log(SOAPY_SDR_WARNING, "loopback: noise through SoapySDR's log");
    const char noise[] = "loopback: noise written straight to standard error\n";
    if (::write(STDERR_FILENO, noise, sizeof noise - 1) < 0) return {};
  }
  SoapySDR::KwargsList found;
  for (int k = 1; k <= settings.radios; ++k) {
    const std::string serial = settings.serial + (settings.radios > 1 ? "-" + std::to_string(k) : "");
    const std::string label = "dot11b loopback radio" + (settings.radios > 1 ? " " + std::to_string(k) : "");
    if (args.count("serial") == 0 || args.at("serial") == serial)
      found.push_back({{"label", label}, {"serial", serial}});
  }
  return found;
}

SoapySDR::Device* make(const SoapySDR::Kwargs& args) { return new Radio(settingsFrom(args)); }

const SoapySDR::Registry registration("loopback", &find, &make, SOAPY_SDR_ABI_VERSION);

}  // namespace

Settings settingsFrom(const SoapySDR::Kwargs& args) {
  Settings s;
  const auto value = [&](const char* key) { return args.count(key) ? args.at(key) : std::string(); };
  if (!value("radio_serial").empty()) s.serial = value("radio_serial");
  if (!value("format").empty()) {
    s.format = value("format");
    s.fullScale = s.format == "CS8" ? 128 : s.format == "CS16" ? 2048 : 1;
  }
  if (!value("full_scale").empty()) s.fullScale = std::stod(value("full_scale"));
  if (!value("min_rate").empty()) s.minRate = std::stod(value("min_rate"));
  if (!value("max_rate").empty()) s.maxRate = std::stod(value("max_rate"));
  s.store = value("store");
  s.play = value("play");
  // Without a file to play, the radio receives what it stored, if anything (then silence).
  if (s.play.empty() && !s.store.empty() && std::ifstream(s.store)) s.play = s.store;
  s.pace = value("pace") != "0";
  if (!value("hold").empty()) s.holdSeconds = std::stod(value("hold"));
  s.fault = value("fault");
  if (!value("fault_after").empty()) s.faultAfter = std::stoull(value("fault_after"));
  s.refuse = value("refuse");
  if (!value("mtu").empty()) s.mtu = std::stoul(value("mtu"));
  if (!value("radios").empty()) s.radios = std::stoi(value("radios"));
  s.noise = value("noise") == "1";
  return s;
}

Radio::Radio(Settings settings) : settings_(std::move(settings)) {}

Radio::~Radio() {
  if (!settings_.store.empty()) writeSettings();
}

// What the tests check besides the samples: the settings the host made, the bursts, and that it let go.
void Radio::writeSettings() const {
  std::ofstream out(settings_.store + ".txt", std::ios::trunc);
  out << "rate=" << text(rate_[SOAPY_SDR_TX]) << "\nfrequency=" << text(frequency_[SOAPY_SDR_TX])
      << "\ngain=" << text(gain_[SOAPY_SDR_TX][0] + gain_[SOAPY_SDR_TX][1]) << "\nantenna=" << antenna_[SOAPY_SDR_TX]
      << "\nsamples=" << stored_ << "\nbursts=" << bursts_.size() << "\nunended_bursts=" << unendedBursts_
      << "\nreleased=1\n";
}

void Radio::refuseIf(const std::string& setting, const std::string& value) const {
  if (settings_.refuse == setting) throw std::runtime_error("loopback: " + setting + " " + value + " is locked out");
}

std::vector<std::string> Radio::listAntennas(int direction, std::size_t) const {
  return {direction == SOAPY_SDR_TX ? "TX" : "RX"};
}

void Radio::setAntenna(int direction, std::size_t, const std::string& name) {
  refuseIf("antenna", name);
  antenna_[direction] = name;
}

void Radio::setGain(int direction, std::size_t channel, double value) {
  refuseIf("gain", text(value));
  SoapySDR::Device::setGain(direction, channel, value);
}

void Radio::setGain(int direction, std::size_t, const std::string& name, double value) {
  refuseIf("gain", name + "=" + text(value));
  gain_[direction][name == "AMP" ? 0 : 1] = value;
}

double Radio::getGain(int direction, std::size_t, const std::string& name) const {
  return gain_[direction][name == "AMP" ? 0 : 1];
}

SoapySDR::Range Radio::getGainRange(int, std::size_t, const std::string& name) const {
  return name == "AMP" ? SoapySDR::Range(0, 14, 14) : SoapySDR::Range(0, 47, 1);
}

void Radio::setFrequency(int direction, std::size_t, double frequency, const SoapySDR::Kwargs&) {
  refuseIf("frequency", text(frequency));
  frequency_[direction] = frequency;
}

void Radio::setSampleRate(int direction, std::size_t, double rate) {
  refuseIf("rate", text(rate));
  rate_[direction] = rate;
}

SoapySDR::RangeList Radio::getSampleRateRange(int, std::size_t) const {
  return {SoapySDR::Range(settings_.minRate, settings_.maxRate)};
}

std::string Radio::getNativeStreamFormat(int, std::size_t, double& fullScale) const {
  fullScale = settings_.fullScale;
  return settings_.format;
}

}  // namespace loopback
