// SPDX-License-Identifier: GPL-3.0-or-later
// A capture for Wireshark: the radio's frames decoded as they come and written to Wireshark's FIFO as
// pcapng, until Wireshark stops it (SIGTERM) or closes the FIFO; the radio is released either way.
#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace dot11b::extcap {

struct CaptureSettings {
  std::string interface;
  std::string fifo;
  int channel = 1;
  std::optional<double> frequency;      // [Hz], instead of the channel
  std::optional<double> sampleRate;     // [Hz]; the radio's choice for 802.11b when not given
  std::optional<double> gain;           // [dB]
  std::string antenna;
  std::optional<double> calibrationDb;  // dBFS to dBm
  std::string deviceArgs;               // added to the radio's own
};

// Returns the exit status: 0 when the capture ended because it was asked to, 1 after a failure, said on
// `err`.
int capture(const CaptureSettings& settings, std::ostream& err);

}  // namespace dot11b::extcap
