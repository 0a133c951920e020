// SPDX-License-Identifier: GPL-3.0-or-later
// Scramblers and shift-register sequences (IEEE 802.11b-1999 18.2.4).
#pragma once

#include <array>

#include "phy/types.h"

namespace dot11b::phy {

// Self-synchronising scrambler z^-7 + z^-4 + 1; initState[k] is s(k+1), s1 the most recent output bit.
Bits scrambler741(const Bits& input, const std::array<uint8_t, 7>& initState);

// 802.11b data scrambler. scrambleActive: 0 off, 1 whole frame, 2 first 144 (long) / 72 (short) bits only;
// preambleType 0 long or 1 short selects the seed. With 2, a frame shorter than the preamble is scrambled whole.
Bits dot11bScrambler(int scrambleActive, int preambleType, const Bits& frame);

// Fibonacci LFSR: seed (order bits) followed by bits a(i) = sum taps(k) a(i-order-1+k) mod 2, up to
// max(m, order) bits. Only the first `order` taps are used.
Bits lfsr(int order, const Bits& taps, std::size_t m, const Bits& seed);

}  // namespace dot11b::phy
