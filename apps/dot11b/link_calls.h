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

// The playback routine of a platform code: ZELPlay_c for "c", ZELPlay for any other.
const char* playbackRoutine(const std::string& platform);

}  // namespace dot11b::cli
