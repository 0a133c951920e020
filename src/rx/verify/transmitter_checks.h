// The transmitter requirements of IEEE 802.11b-1999 18.4.7 that a capture of one frame can show, each
// with its limit and a verdict: centre frequency and chip clock (18.4.7.4, 18.4.7.5: +-25 ppm), power-on
// and power-down ramps (18.4.7.6: 10 % to 90 % of the power within 2 us), RF carrier suppression
// (18.4.7.7: 15 dB) and modulation accuracy (18.4.7.8: peak EVM over 1000 chips at most 0.35).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "phy/types.h"
#include "rx/receiver.h"
#include "rx/verify/spectrum_mask.h"

namespace dot11b::rx {

struct TransmitterCheck {
  std::string name;        // "centre frequency", "chip clock", "power-on ramp", ...
  std::string unit;        // "ppm", "us", "dB", ""
  double limit = 0;        // the requirement's limit, in `unit`
  bool atMost = true;      // the value must not exceed the limit (else: must reach it)
  std::optional<double> value;  // nothing when it could not be measured
  std::string why;         // why it was not measured
  bool passed() const { return value && (atMost ? std::abs(*value) <= limit : *value >= limit); }
};

// The checks of `frame`, one of the frames received from `capture` at `sampleRate`. `carrierHz` is the
// capture's centre frequency, when known; `mask` the frame's spectrum.
std::vector<TransmitterCheck> checkTransmitter(const ComplexRow& capture, double sampleRate, const ReceivedFrame& frame,
                                               std::optional<double> carrierHz, const MaskResult& mask);

}  // namespace dot11b::rx
