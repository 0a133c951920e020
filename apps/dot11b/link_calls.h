// SPDX-License-Identifier: GPL-3.0-or-later
// Calls of the instrument routines through the library's C interface, and the options all link
// commands share.
#pragma once

#include <string>
#include <vector>

#include "command.h"
#include "parameter_options.h"
#include "runtime/value.h"

namespace dot11b::cli {

struct LinkReply {
  double status = 0;        // 0: the instrument took everything
  std::string description;  // the instrument's reply, or what failed
};

// Calls a routine with two results (status, description). Throws std::runtime_error with the
// library's message when the call itself fails.
LinkReply callLink(const char* routine, const std::vector<rt::Value>& inputs);

// The connection record of the --to URI option, which is required. Throws std::invalid_argument.
rt::Value takeConfiguration(Args& args);

// The playback routine of the --platform option: ZELPlay_c for c (the default), ZELPlay for b. Throws
// std::invalid_argument for another platform.
const char* takePlaybackRoutine(Args& args);

}  // namespace dot11b::cli
