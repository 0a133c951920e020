// SPDX-License-Identifier: GPL-3.0-or-later
// The channel-impairment options of generate and per.
#pragma once

#include <cstdint>
#include <optional>

#include "channel/impairments.h"
#include "command.h"

// The help of the impairment options, as the commands that take them print it.
#define DOT11B_IMPAIRMENT_OPTIONS_HELP                                                                        \
  "Impairments, applied to the finished waveform in this order (each off unless given):\n"                  \
  "  --iq-gain DB --iq-skew DEG  I/Q gain and phase imbalance of the modulator\n"                          \
  "  --dc I,Q           DC offset added to I and Q\n"                                                      \
  "  --clock-ppm PPM    sample-clock offset: the samples as a clock PPM fast makes them (resampled)\n"      \
  "  --cfo HZ --phase DEG  carrier frequency offset and phase\n"                                          \
  "  --multipath NS     exponentially decaying tapped-delay channel of this RMS delay spread, the\n"       \
  "                     model of the IEEE 802.11 working group's receiver tests (circular, so a loop\n"   \
  "                     stays seamless)\n"                                                                 \
  "  --snr DB           white Gaussian noise over the whole waveform, idle included; the SNR is the\n"     \
  "                     mean power of the frames' samples (idle excluded) over the noise power in the\n"  \
  "                     11 MHz chip bandwidth\n"                                                          \
  "  --seed N           the random draw of noise and multipath (1); the same seed gives the same\n"       \
  "                     waveform, bit for bit, on every run\n"

namespace dot11b::cli {

// Takes --snr, --cfo, --phase, --clock-ppm, --iq-gain, --iq-skew, --dc I,Q, --multipath and --seed out of
// args. Throws std::invalid_argument naming the option.
channel::Impairments takeImpairmentOptions(Args& args);

// Takes --seed N (0 to 2^53) out of args. Throws std::invalid_argument for another value.
std::optional<std::uint64_t> takeSeedOption(Args& args);

}  // namespace dot11b::cli
