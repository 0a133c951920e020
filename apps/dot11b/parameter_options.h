// SPDX-License-Identifier: GPL-3.0-or-later
// The options shared by the commands: taking "NAME VALUE" options, and building a parameters record from
// --params and --set.
#pragma once

#include <string>

#include "command.h"
#include "runtime/value.h"

namespace dot11b::cli {

// Applies every "--set FIELD=VALUE" of args (in order) to parameters, checks the result and derives
// ProjectedLength. Other options are left for the caller in `rest`. Throws settings::ParameterError or
// std::invalid_argument.
void applySetOptions(rt::Value& parameters, const Args& args, Args& rest);

// Removes "NAME VALUE" (or "NAME=VALUE") from args and returns VALUE; empty when absent. Throws
// std::invalid_argument when NAME has no value or an empty one.
std::string takeOption(Args& args, const std::string& name);
// The parameters of "--params FILE" and "--set FIELD=VALUE" options, as 'dot11b generate' takes
// them; the other arguments stay in args. Throws ParameterFileUnusable, settings::ParameterError or
// std::invalid_argument.
rt::Value parametersFromOptions(Args& args);

}  // namespace dot11b::cli
