// SPDX-License-Identifier: GPL-3.0-or-later
// DBPSK/DQPSK with Barker spreading, the 1 and 2 Mbit/s DSSS modulation (IEEE 802.11b-1999 18.4.6.3-4).
#pragma once

#include "phy/types.h"

namespace dot11b::phy {

// Differential BPSK: one symbol per bit, bit 1 turns the phase by pi. Throws on empty input.
ComplexRow dbpsk(const Bits& data, Complex initialVector);

// Differential QPSK: one symbol per dibit (00: 0, 01: +pi/2, 11: pi, 10: -pi/2). Throws on empty or odd input.
ComplexRow dqpsk(const Bits& data, Complex initialVector);

// The 11-chip Barker sequence +1 -1 +1 +1 -1 +1 +1 +1 -1 -1 -1.
const RealRow& barkerSequence();

// 11 chips per symbol: Barker(1..11) times each symbol, symbols in order.
ComplexRow barkerSpread(const ComplexRow& symbols);

struct Modulated {
  ComplexRow chips;   // 11 chips per symbol
  Complex lastPhase;  // last symbol before spreading: the phase reference of the next segment
};

Modulated modulate1Mbps(const Bits& bits, Complex initialPhase);
Modulated modulate2Mbps(const Bits& bits, Complex initialPhase);

}  // namespace dot11b::phy
