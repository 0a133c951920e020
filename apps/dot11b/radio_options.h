// SPDX-License-Identifier: GPL-3.0-or-later
// The options that pick and set a radio, shared by transmit and capture (and the help that describes them).
#pragma once

#include <optional>
#include <string>

#include "command.h"
#include "sdr/radio.h"

#define DOT11B_RADIO_OPTIONS_HELP                                                                        \
  "Radio options:\n"                                                                                     \
  "  --device ARGS      the SoapySDR arguments of the radio: driver=hackrf, driver=uhd,serial=...,\n"    \
  "                     driver=plutosdr,hostname=192.168.2.1 ('dot11b devices' lists them)\n"            \
  "  --frequency HZ     the centre frequency, 2412e6 for channel 1\n"                                    \
  "  --gain DB          the overall gain, shared out over the radio's stages; --gain NAME=DB sets one\n" \
  "                     stage (AMP=14, VGA=20), and may be given again for another\n"                    \
  "  --antenna NAME     one of the radio's antennas (default: the radio's own choice)\n"

namespace dot11b::cli {

struct RadioOptions {
  std::string device;
  sdr::TuneSettings tune;
  std::optional<double> rate;  // [Hz]
};

// Takes --device, --frequency, every --gain, --antenna and --rate out of args. --device and --frequency
// are required, and --rate when `rateRequired`. Throws std::invalid_argument naming the option.
RadioOptions takeRadioOptions(Args& args, bool rateRequired);

// A number option greater than 0: nothing when absent; throws std::invalid_argument naming the option.
std::optional<double> takePositiveOption(Args& args, const std::string& name);

}  // namespace dot11b::cli
