// SPDX-License-Identifier: GPL-3.0-or-later
// One software-defined radio opened through SoapySDR, released when the object goes (on every path, an
// exception or Ctrl-C included). Every setting is checked against what the radio says it takes before it
// is made, and what the radio refuses comes back as a RadioError with the radio's name, the value and the
// radio's own message. Channel 0 of each direction is used.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "phy/samples/sample_formats.h"
#include "sdr/rate_choice.h"

namespace SoapySDR {
class Device;
}

namespace dot11b::sdr {

enum class Direction { Transmit, Receive };

// Radios stream in the sample formats every file of the system uses.
using phy::NativeSamples;
using phy::SampleFormat;
using phy::StreamFormat;

using RadioArgs = std::map<std::string, std::string>;

// What SoapySDR found of one radio: its arguments (driver, label, serial and those of its module).
struct FoundRadio {
  RadioArgs args;
  std::string value(const std::string& key) const;
  // "driver=hackrf, label=HackRF One #0 ..., serial=..." (driver, label and serial, those it has).
  std::string text() const;
};

// Every radio whose arguments match `args` ("driver=hackrf", "serial=...", or "" for all).
std::vector<FoundRadio> findRadios(const std::string& args);

// The settings of one direction; a gain either overall or by the radio's names for its stages.
struct TuneSettings {
  double frequency = 0;                                    // [Hz]
  std::optional<double> gain;                              // [dB] over every stage
  std::vector<std::pair<std::string, double>> stageGains;  // [dB], by name ("AMP", "VGA", "LNA")
  std::string antenna;                                     // "" leaves the radio's own choice
};

class Radio {
 public:
  // Opens the one radio that `args` finds. Throws RadioError when none does (listing those found) or when
  // several do (listing them, so that a serial can pick one).
  explicit Radio(const std::string& args);
  ~Radio();
  Radio(const Radio&) = delete;
  Radio& operator=(const Radio&) = delete;

  // The radio for messages: "the radio driver=loopback, label=..., serial=...".
  const std::string& name() const { return name_; }
  const FoundRadio& found() const { return found_; }
  SoapySDR::Device& device() { return *device_; }

  std::vector<Range> sampleRates(Direction direction) const;
  // Sets the rate, which must be one the radio lists; returns the rate the radio says it runs at.
  double setSampleRate(Direction direction, double rate);
  // Frequency, gain and antenna, each checked against the radio's ranges first.
  void tune(Direction direction, const TuneSettings& settings);
  // The radio's own format when it is CS8, CS16 or CF32, otherwise CF32 (which SoapySDR converts to).
  StreamFormat streamFormat(Direction direction) const;

 private:
  FoundRadio found_;
  std::string name_;
  SoapySDR::Device* device_ = nullptr;
};

int soapyDirection(Direction direction);

}  // namespace dot11b::sdr
