// SPDX-License-Identifier: GPL-3.0-or-later
// The result pair of every instrument routine.
#pragma once

#include <cstdint>
#include <string>

namespace dot11b::instrument {

struct LinkReply {
  int32_t status = 0;       // 0 success; any other value failure
  std::string description;  // text shown to the user on failure (a ping's or query's reply on success)
};

// Status of a playback or download refused before anything was sent (bad title), and of a
// cancelled RS-232 transfer (the instrument I/O module's "bad argument" value).
inline constexpr int32_t kRefusedStatus = 1;

}  // namespace dot11b::instrument
