// SPDX-License-Identifier: GPL-3.0-or-later
// CCK symbol decisions (IEEE 802.11b-1999 18.4.6.5): the codeword among the 64 (11 Mbit/s) or 4
// (5.5 Mbit/s) with phi1 = 0 that correlates best with the received chips; the correlation's phase is
// then the symbol's phi1.
#pragma once

#include <array>

#include "phy/types.h"

namespace dot11b::rx {

// The bits and codeword refer to the decisions' own table, which lives as long as the program.
struct CckDecision {
  const Bits& bits;           // d2 .. d7 at 11 Mbit/s, d2 d3 at 5.5 Mbit/s, first sent first
  Complex correlation;        // of the chips with the codeword for phi1 = 0
  const ComplexRow& codeword; // phi1 = 0
};

// The codeword chips c0 .. c7 for phi1 = 0 and the given phi2, phi3, phi4.
ComplexRow cckCodeword(double phi2, double phi3, double phi4);

// `chips`: 8 received chips; `fullRate`: 11 Mbit/s (else 5.5).
CckDecision decideCck(const ComplexRow& chips, bool fullRate);

}  // namespace dot11b::rx
