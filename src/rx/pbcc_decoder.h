// SPDX-License-Identifier: GPL-3.0-or-later
// PBCC decoding (IEEE 802.11b-1999 18.4.6.6): the cover sequence that turns every other symbol's
// constellation, and a soft-decision Viterbi decoder of the rate-1/2, 64-state code (generators 133
// and 175 octal).
#pragma once

#include <cstddef>
#include <vector>

#include "phy/types.h"

namespace dot11b::rx {

// The first `count` bits of the cover sequence: its 16-bit seed, rotated left 3 places more for each
// further 16 bits, repeating after 256.
Bits pbccCover(std::size_t count);

// `soft` holds the coded bits c0, c1, c0, c1, ... as soft values (positive: 0, negative: 1, the larger the
// surer); returns the data bits of the path that matches them best, the coder started at zero and
// ending anywhere (PBCC codes no tail).
Bits viterbiDecode(const std::vector<double>& soft);

}  // namespace dot11b::rx
