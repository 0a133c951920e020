// SPDX-License-Identifier: GPL-3.0-or-later
// Literal values as typed on the command line: numbers, complex numbers, matrices and quoted text.
#pragma once

#include <stdexcept>
#include <string_view>

#include "runtime/value.h"

namespace dot11b::rt {

struct LiteralError : std::invalid_argument {
  using std::invalid_argument::invalid_argument;
};

// -3.5, 1e-3, Inf, NaN; 1+2i, 0.5j; [1 0 1], [1 2; 3 4], []; 'text' (a doubled quote stands for one).
// Throws LiteralError naming what is malformed.
Value parseLiteral(std::string_view text);

}  // namespace dot11b::rt
