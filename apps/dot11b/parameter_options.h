// The --set options shared by the commands that build a parameters record.
#pragma once

#include "command.h"
#include "runtime/value.h"

namespace dot11b::cli {

// Applies every "--set FIELD=VALUE" of args (in order) to parameters, checks the result and derives
// ProjectedLength. Other options
// are left for the caller in `rest`. Throws shell::ParameterError or std::invalid_argument.
void applySetOptions(rt::Value& parameters, const Args& args, Args& rest);

}  // namespace dot11b::cli
