// SPDX-License-Identifier: GPL-3.0-or-later
// Level 5 MAT-files (the layout MATLAB, Octave and SciPy read) to and from array values: numeric arrays of
// every class (real and complex), 16-bit text, records with their field order, cell lists, empties.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/matfile/matfile_check.h"
#include "runtime/value.h"

namespace dot11b::rt {

// Named variables in file order.
using MatVariables = std::vector<std::pair<std::string, Value>>;

// Reads every variable of the file. The bytes are checked (checkMatFileBytes) before they are parsed, so
// a damaged or hostile file is refused with MatFileError instead of being trusted. Arrays of more than two
// dimensions are refused unless the extra dimensions are 1.
MatVariables readMatFile(const std::string& path, const MatReadLimits& limits = {});
MatVariables readMatBytes(std::string_view bytes, const MatReadLimits& limits = {});

// Writes the variables (in order) to path, creating or truncating it. Text is stored as 16-bit characters,
// numeric arrays keep their class, records their field order. Throws MatFileError. Callers that replace
// a user's file write to a temporary name first (see files/safe_save.h).
void writeMatFile(const std::string& path, const MatVariables& variables);

}  // namespace dot11b::rt
