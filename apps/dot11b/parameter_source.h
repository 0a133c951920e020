// Where a command's parameters start: the start values, or a parameter file.
#pragma once

#include <stdexcept>
#include <string>

#include "runtime/value.h"

namespace dot11b::cli {

// A parameter file that cannot be used; the message is the one the window shows titled
// "Error Loading File", on one line.
struct ParameterFileUnusable : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The start values when file is empty; otherwise the checked record of the parameter file (the
// extension ".mat" is added when the name lacks it, as File Open does). Throws ParameterFileUnusable.
rt::Value startingParameters(const std::string& file);

}  // namespace dot11b::cli
