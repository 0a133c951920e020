// Calls of the instrument routines through the library's C interface, and the options all link
// commands share.
#pragma once

#include <string>
#include <vector>

#include "command.h"
#include "runtime/value.h"

namespace dot11b::cli {

struct LinkReply {
  double status = 0;        // 0: the instrument took everything
  std::string description;  // the instrument's reply, or what failed
};

// Calls a routine with two results (status, description). Throws std::runtime_error with the
// library's message when the call itself fails.
LinkReply callLink(const char* routine, const std::vector<rt::Value>& inputs);

// Removes "NAME VALUE" (or "NAME=VALUE") from args and returns VALUE; empty when absent. Throws
// std::invalid_argument when NAME has no value.
std::string takeOption(Args& args, const std::string& name);
// The parameters of "--params FILE" and "--set FIELD=VALUE" options, as 'dot11b generate' takes
// them; the other arguments stay in args. Throws ParameterFileUnusable, shell::ParameterError or
// std::invalid_argument.
rt::Value parametersFromOptions(Args& args);

// The playback routine of a platform code: ZELPlay_c for "c", ZELPlay for any other.
const char* playbackRoutine(const std::string& platform);

}  // namespace dot11b::cli
