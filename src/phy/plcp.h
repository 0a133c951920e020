// SPDX-License-Identifier: GPL-3.0-or-later
// PLCP preamble and header of the DSSS PHY (IEEE 802.11b-1999, 18.2.2 and 18.2.3).
#pragma once

#include "phy/types.h"

namespace dot11b::phy {

// SYNC + SFD before scrambling: 144 bits (preambleType 0, long) or 72 bits (1, short).
Bits plcpPreamble(int preambleType);

// SIGNAL field, 8 bits, for dataRate 1, 2, 5.5 or 11 Mbit/s.
Bits plcpSignal(double dataRate);

// SERVICE field, 8 bits: 0 0 locked mod 0 0 0 lenExt.
Bits plcpService(int locked, int mod, int lenExt);

struct LengthField {
  Bits bits;      // 16 bits, LENGTH in microseconds, least significant bit first
  int lenExt = 0; // length extension bit (11 Mbit/s only)
};

// LENGTH field for a PSDU of numberOfBits bits; mod 1 counts the extra PBCC octet.
// Throws std::invalid_argument when the transmit time does not fit 16 bits.
LengthField plcpLength(double numberOfBits, double dataRate, int mod);

// CRC-16 of the header (x^16 + x^12 + x^5 + 1, preset ones, inverted), highest-order bit first.
Bits crc16(const Bits& input);

// The 48 header bits SIGNAL, SERVICE, LENGTH, CRC. The PBCC modulation selection applies only at
// 5.5 and 11 Mbit/s: at 1 and 2 Mbit/s the header announces mod 0 whatever highRateMod says.
Bits plcpHeader(double numberOfBits, double dataRate, int highRateMod, int locked);

}  // namespace dot11b::phy
