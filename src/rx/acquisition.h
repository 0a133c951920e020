// SPDX-License-Identifier: GPL-3.0-or-later
// Finding a DSSS preamble in the stream: two blocks of symbols in a row whose Barker correlation energy
// stands out of the signal's own energy, then, over the block after them, the chip timing at its strongest
// and the carrier offset from the phase steps between the SYNC symbols.
#pragma once

#include <cstddef>
#include <optional>

#include "rx/chip_stream.h"

namespace dot11b::rx {

struct Acquisition {
  double firstSymbol = 0;  // sample instant of the first chip of a SYNC symbol
  double cfoHz = 0;        // carrier offset of the signal against ours
};

// The first preamble that starts at sample `from` or later; nothing when the rest of the stream holds none.
std::optional<Acquisition> acquire(const ChipStream& stream, std::size_t from);

}  // namespace dot11b::rx
