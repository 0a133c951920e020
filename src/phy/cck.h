// SPDX-License-Identifier: GPL-3.0-or-later
// Complementary code keying at 5.5 and 11 Mbit/s (IEEE 802.11b-1999 18.4.6.5).
#pragma once

#include <array>

#include "phy/types.h"

namespace dot11b::phy {

// Entry: dataRate 5.5 or 11; only the angle of initialPhase is used. Throws on another rate or on a bit
// count that is not a whole number of symbols (4 bits at 5.5, 8 bits at 11 Mbit/s).
ComplexRow cck(const Bits& bits, double dataRate, Complex initialPhase);
ComplexRow cck5(const Bits& bits, Complex initialPhase);
ComplexRow cck11(const Bits& bits, Complex initialPhase);

// Accumulated phi1 angles (radians, not wrapped) of the dibits (d0, d1), with the extra pi on every
// second symbol. Throws when d0 and d1 differ in length.
RealRow cckDqpsk(const Bits& d0, const Bits& d1, double initialPhase);

// The 8 chips of one codeword from the angles phi1..phi4 (radians).
std::array<Complex, 8> cckCodeword(double phi1, double phi2, double phi3, double phi4);

}  // namespace dot11b::phy
