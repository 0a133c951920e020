// SPDX-License-Identifier: GPL-3.0-or-later
// Which sample rate a frame goes out at on a radio that may not run at the frame's own rate.
#pragma once

#include <string>
#include <vector>

namespace dot11b::sdr {

// Values from `minimum` to `maximum` in steps of `step` (0: any value between them): rates [Hz],
// frequencies [Hz] or gains [dB].
struct Range {
  double minimum = 0;
  double maximum = 0;
  double step = 0;
};

// The chip rate [chip/s]: a receiver needs a sample a chip at the least.
inline constexpr double kChipRate = 11e6;
// The receiver and the spectrum mask want two samples a chip.
inline constexpr double kTwoSamplesAChip = 2 * kChipRate;
// The lowest rate a frame is sent at, and received without a warning [sample/s]: 1.8 samples a chip, a
// HackRF's highest rate. The frame's error vector grows as the rate falls below it (rms EVM of a frame
// taken to the rate and decoded: 2.7 % at 22 and 20 Msample/s, 3.2 % at 18, 5.1 % at 16, 8.8 % at 14, and at
// 12 a peak beyond the 0.35 of 18.4.7.8).
inline constexpr double kLowestTransmitRate = 20e6;
// The shortest frame [s]: an ACK (14 octets) at 11 Mbit/s behind the short preamble and header (96 us).
inline constexpr double kShortestFrame = 96e-6 + 14 * 8 / 11e6;

bool supportsRate(const std::vector<Range>& ranges, double rate);

// The frame's own rate when the radio runs at it; otherwise the lowest rate of at least two samples a chip
// that it runs at; otherwise its highest rate. Throws std::invalid_argument for a radio without rates.
double chooseRate(const std::vector<Range>& ranges, double frameRate);

// "2 to 20 Msample/s", "1, 2 and 5 Msample/s", "0.5 to 61.44 Msample/s in steps of 0.25": for messages.
std::string ratesText(const std::vector<Range>& ranges);

}  // namespace dot11b::sdr
