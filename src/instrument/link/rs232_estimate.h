// SPDX-License-Identifier: GPL-3.0-or-later
// The RS-232 transfer-time estimate of a waveform download and the question it raises.
#pragma once

#include <cstddef>
#include <string>

namespace dot11b::instrument {

// Estimates above this ask the user before the transfer [minutes].
inline constexpr double kRs232QuestionMinutes = 0.75;
inline constexpr const char* kRs232QuestionTitle = "RS-232 Download";

// Transfer time of n samples at `baud` bit/s [minutes]: n x 32 x 1.125 / baud / 60 (32 bits of I/Q
// per sample, 12.5 % for framing and handshake).
double rs232TransferMinutes(std::size_t n, double baud);

// "This Download will take approximately <minutes in %g> minutes. Do you want to continue?"
std::string rs232Question(double minutes);

}  // namespace dot11b::instrument
