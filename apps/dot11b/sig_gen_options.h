// SPDX-License-Identifier: GPL-3.0-or-later
// The signal generator settings options of the link commands (download, refresh).
#pragma once

#include "command.h"
#include "runtime/value.h"

// Options and their fields of SigGenSettings, for the commands' help (a literal, to join with theirs).
#define DOT11B_SIG_GEN_OPTIONS_HELP \
    "Signal generator settings (start values; carrier from the Channel, sampling rate from OverSampling):\n" \
    "  --title T              waveform name in the instrument (1 to 20 of A-Z a-z 0-9 _ $ & # + - [ ]; dot11b)\n" \
    "  --frequency HZ         carrier, 100e3 to 6e9\n" \
    "  --amplitude DBM        output level, -136 to 20 (-30)\n" \
    "  --sampling-rate HZ     waveform sample clock, 1 to 100e6\n" \
    "  --bbfilter N           baseband filter 1 (2.1 MHz), 2 (40 MHz, default), 3 (through)\n" \
    "  --recon-filter N       older platform: 1 (250 kHz), 2 (2.5 MHz), 3 (8 MHz), 4 (through, default)\n" \
    "  --scaling PCT          waveform scaling, 1 to 100 (95)\n" \
    "  --mod-atten DB         I/Q modulator attenuation, 0 to 40 (0)\n" \
    "  --alc 0|1              automatic level control (1)\n" \
    "  --rf-blanking 0|1      a marker blanks the RF output (1)\n" \
    "  --marker-polarity 0|1  0 positive, 1 negative (0)\n" \
    "  --arb-ref 0|1          waveform clock reference: 0 internal, 1 external (0)\n" \
    "  --platform c|b         c: Q6200T generation (15 commands, default); b: older platform (11 commands)\n"

namespace dot11b::cli {

// The signal generator settings for the parameters record: the start values, the carrier of the
// record's Channel and the sampling rate of its OverSampling, as the format panel sets them; then
// every settings option of args. Other options are left in `rest`. Throws std::invalid_argument
// for a value outside the range the settings panels allow.
rt::Value sigGenSettingsFromOptions(const rt::Value& parameters, const Args& args, Args& rest);

// Carrier frequency of an IEEE 802.11b channel (1 to 14) [Hz].
double channelFrequency(double channel);

}  // namespace dot11b::cli
