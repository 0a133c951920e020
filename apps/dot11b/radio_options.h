// SPDX-License-Identifier: GPL-3.0-or-later
// The options that pick and set a radio, shared by transmit, capture and verify --device (and the help
// that describes them), with the rules that keep a radio from sending or receiving a useless signal.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "command.h"
#include "sdr/radio.h"

#define DOT11B_RADIO_OPTIONS_HELP                                                                        \
  "Radio options:\n"                                                                                     \
  "  --device ARGS      the SoapySDR arguments of the radio: driver=hackrf, driver=uhd,serial=...,\n"    \
  "                     driver=plutosdr,hostname=192.168.2.1 ('dot11b devices' lists them); label=...\n" \
  "                     matches a radio's label exactly\n"                                               \
  "  --frequency HZ     the centre frequency, 2412e6 for channel 1\n"                                    \
  "  --gain DB          the overall gain, shared out over the radio's stages; --gain NAME=DB sets one\n" \
  "                     stage (AMP=14, VGA=20), and may be given again for another; a gain between a\n"  \
  "                     stage's steps is set to the nearest step, with a note\n"                         \
  "  --antenna NAME     one of the radio's antennas (default: the radio's own choice)\n"                 \
  "  --verbose          lets through what the radio modules say of themselves on stderr\n"

namespace dot11b::cli {

struct RadioOptions {
  std::string device;
  sdr::TuneSettings tune;
  std::optional<double> rate;  // [Hz]
};

// Takes --device, --frequency, every --gain, --antenna, --rate and --verbose out of args (--verbose lets
// the radio modules' messages through from here on). --device and --frequency are required, and --rate
// when `rateRequired`. Throws std::invalid_argument naming the option.
RadioOptions takeRadioOptions(Args& args, bool rateRequired);
// The same for receiving (capture, verify --device): --rate is required, and at least one sample a chip.
RadioOptions takeReceiveOptions(Args& args);
// A --rate for transmit: at least kLowestTransmitRate. Throws std::invalid_argument.
void checkTransmitRate(double rate);
// A --duration of at least one frame. Throws std::invalid_argument.
double checkedDuration(double seconds);

// A number option greater than 0: nothing when absent; throws std::invalid_argument naming the option.
std::optional<double> takePositiveOption(Args& args, const std::string& name);

// Prints on stderr what the radio set otherwise than asked ("dot11b capture: note: ...").
void printRadioNotes(std::string_view command, const sdr::Radio& radio);
// Warns on stderr of a receive rate below the lowest a frame is sent at (sdr::kLowestTransmitRate).
void warnOfFewSamplesAChip(std::string_view command, double rate);

}  // namespace dot11b::cli
