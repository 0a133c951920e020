// SPDX-License-Identifier: GPL-3.0-or-later
// One software-defined radio opened through SoapySDR, released when the object goes (on every path, an
// exception or Ctrl-C included). Every setting is checked against what the radio says it takes before it
// is made, and what the radio refuses comes back as a RadioError with the radio's name, the value and the
// radio's own message. One channel of each direction is used, 0 unless asked.
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
class Range;
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

// Every radio whose arguments match `args` ("driver=hackrf", "serial=...", or "" for all); a label given
// matches a radio's label exactly.
std::vector<FoundRadio> findRadios(const std::string& args);

// Where no radio is found: a module that looks for its radios only when named, or a radio that answers
// only at its address, is missed by a search of all.
inline constexpr const char* kNamedModulesHint =
    "Some modules answer only when named, and some radios only at their address: --device driver=NAME\n"
    "(driver=hackrf, driver=uhd, driver=plutosdr,hostname=192.168.2.1) asks that module alone.";

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
  // `channel` picks one of a radio's channels (0 for a radio of one); a channel it lacks throws RadioError.
  explicit Radio(const std::string& args, std::size_t channel = 0);
  ~Radio();
  Radio(const Radio&) = delete;
  Radio& operator=(const Radio&) = delete;

  // The radio for messages: "the radio driver=loopback, label=..., serial=...".
  const std::string& name() const { return name_; }
  const FoundRadio& found() const { return found_; }
  SoapySDR::Device& device() { return *device_; }
  std::size_t channel() const { return channel_; }

  std::vector<Range> sampleRates(Direction direction) const;
  // The overall gain over every stage [dB].
  Range gainRange(Direction direction) const;
  // Sets the rate, which must be one the radio lists; returns the rate the radio says it runs at.
  double setSampleRate(Direction direction, double rate);
  // Frequency, gain and antenna, each checked against the radio's ranges first. A gain between the steps
  // of a stage (or of the overall gain) is set to the nearest step, and notes() says so.
  void tune(Direction direction, const TuneSettings& settings);
  // What was set otherwise than asked, for the user: "the transmit gain AMP=7 dB lies between ...".
  const std::vector<std::string>& notes() const { return notes_; }
  // The radio's own format when it is CS8, CS16 or CF32, otherwise CF32 (which SoapySDR converts to).
  StreamFormat streamFormat(Direction direction) const;

 private:
  // The step of `range` nearest to `value`, noting a change.
  double onStep(const SoapySDR::Range& range, double value, const std::string& what);

  FoundRadio found_;
  std::string name_;
  std::vector<std::string> notes_;
  std::size_t channel_ = 0;
  SoapySDR::Device* device_ = nullptr;
};

int soapyDirection(Direction direction);

}  // namespace dot11b::sdr
