// SPDX-License-Identifier: GPL-3.0-or-later
// The cyclic redundancy checks: a serial CRC register of any generator (the PLCP header's CRC-16,
// IEEE 802.11b-1999 18.2.3.6) and the CRC-32 of the frame check sequence (IEEE 802.11-1999 7.1.3.6).
#pragma once

#include "phy/types.h"

namespace dot11b::phy {

// Serial CRC register: taps are the N+1 coefficients of x^0..x^N, initialState N bits; returns the N
// remainder bits, coefficient of x^(N-1) first.
Bits lfsrChecksum(const Bits& taps, const Bits& initialState, const Bits& data);

// Inverted CRC-32 remainder (generator 04C11DB7, register preset to ones), x^31 coefficient first: the
// 802.11 FCS.
Bits crc32(const Bits& input);

}  // namespace dot11b::phy
