// SPDX-License-Identifier: GPL-3.0-or-later
// What a radio offers, channel by channel, for 'dot11b devices --device ARGS'.
#pragma once

#include <string>
#include <vector>

#include "sdr/radio.h"

namespace dot11b::sdr {

struct GainStage {
  std::string name;  // "" for the overall gain
  Range range;       // [dB]
};

struct ChannelDetails {
  Direction direction = Direction::Receive;
  std::size_t index = 0;
  bool fullDuplex = false;
  std::vector<std::string> antennas;
  std::vector<Range> rates;        // [Hz]
  std::vector<Range> frequencies;  // [Hz]
  std::vector<GainStage> gains;    // the overall gain first, then each stage
  std::vector<std::string> formats;
  std::string nativeFormat;
  double fullScale = 0;
};

struct RadioDetails {
  std::string driver;                    // the module's name for the radio
  std::string hardware;                  // the radio's kind ("HackRF One", "B210")
  std::vector<ChannelDetails> channels;  // transmit channels first
};

// Throws RadioError when the radio fails to answer.
RadioDetails describeRadio(Radio& radio);

}  // namespace dot11b::sdr
