// SPDX-License-Identifier: GPL-3.0-or-later
// Where a command's parameters start: the start values, or a parameter file.
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "command.h"
#include "files/parameter_files.h"
#include "runtime/value.h"

namespace dot11b::cli {

// A parameter file that cannot be used; the message is the one the window shows titled
// "Error Loading File", on one line.
using files::ParameterFileUnusable;

// The start values when file is empty; otherwise the checked record of the parameter file (the
// extension ".mat" is added when the name lacks it, as File Open does). Throws ParameterFileUnusable.
rt::Value startingParameters(const std::string& file);

// Runs a command's option taking. Nothing comes back when it succeeded; otherwise its message goes to stderr
// after "dot11b COMMAND: " and the command's exit status comes back: 1 for a parameter file that cannot be
// used, 2 for a bad option.
std::optional<int> takeOptions(std::string_view command, const std::function<void()>& take);

// Runs a command's work and gives its exit status; a failure's message goes to stderr after
// "dot11b COMMAND: ", with 2 for settings that make no waveform (settings::ParameterError, such as frames that
// come to more than a waveform may hold) and 1 for any other.
int runReporting(std::string_view command, const std::function<int()>& work);

// Throws naming the first argument that no option took.
void expectNoMore(const Args& rest);

}  // namespace dot11b::cli
