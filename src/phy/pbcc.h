// SPDX-License-Identifier: GPL-3.0-or-later
// Packet binary convolutional coding at 5.5 and 11 Mbit/s (IEEE 802.11b-1999 18.4.6.6).
#pragma once

#include "phy/types.h"

namespace dot11b::phy {

// Rate-1/2 convolutional encoder of constraint length k, generators written as octal digits
// (133, 175), starting in the zero state, no tail: 2 * dataIn.size() bits, c0 and c1 interleaved.
Bits convolEncoder(const Bits& dataIn, int k, int g0Octal, int g1Octal);

// The PBCC cover sequence: rows of the 16-bit seed rotated left by 3(i-1) mod 16, cut to reqLength.
Bits pbccCoverBits(std::size_t reqLength);

// PBCC symbols referred to initialPhase (magnitude and angle). dataRate 5.5 (BPSK) or 11 (QPSK);
// encoderActive 1 codes the bits first. Throws on another rate or an odd bit count to map at 11 Mbit/s.
ComplexRow pbcc(const Bits& bits, double dataRate, int encoderActive, Complex initialPhase);

}  // namespace dot11b::phy
