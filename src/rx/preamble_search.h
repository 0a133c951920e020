// SPDX-License-Identifier: GPL-3.0-or-later
// The preamble search: the SYNC bits and the SFD at 1 Mbit/s DBPSK after an acquisition, for the long
// preamble (128 scrambled ones, SFD F3A0h) and the short one (56 scrambled zeros, its SFD reversed)
// (18.2.3, 18.2.2.2).
#pragma once

#include <optional>

#include "rx/frame_reader.h"

namespace dot11b::rx {

// Reads DBPSK symbols with `reader` until an SFD follows at least 8 SYNC bits, as sent scrambled or not,
// and returns whether the preamble is short; the reader then stands after the SFD and knows whether the
// frame is scrambled. Nothing when no SFD comes: the signal fell away, the chips stopped lining up with
// the symbols (the timing sits on a Barker sidelobe; acquire again), or a long ramp and preamble passed.
std::optional<bool> findSfd(FrameReader& reader);

}  // namespace dot11b::rx
