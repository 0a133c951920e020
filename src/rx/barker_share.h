// SPDX-License-Identifier: GPL-3.0-or-later
// Whether chips line up with the Barker symbols they are read as: the share of their energy that the
// Barker correlation takes up.
#pragma once

namespace dot11b::rx {

// `correlationEnergy` the squared magnitude of the Barker correlation of 11 chips, `chipEnergy` the
// energy of those chips (either summed over several symbols): 1 for clean chips read at their symbol
// timing, about 0.55 at 0 dB SNR in the chip bandwidth, 1/11 for noise and 1/121 for clean chips read a
// whole number of chips off their symbol timing (a Barker sidelobe). 0 without energy.
inline double barkerShare(double correlationEnergy, double chipEnergy) {
  return chipEnergy > 0 ? correlationEnergy / (11 * chipEnergy) : 0.0;
}

// The share below which chips are taken not to line up with the symbols.
inline constexpr double kAlignedShare = 0.2;

}  // namespace dot11b::rx
