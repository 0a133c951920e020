// SPDX-License-Identifier: GPL-3.0-or-later
// Plain-text display of values for the command line.
#pragma once

#include <string>

#include "runtime/value.h"

namespace dot11b::rt {

// Real numbers with %.17g, complex as a+bi / a-bi, matrices in brackets with blanks between columns and
// "; " between rows, text in single quotes, cell lists in braces. A record is shown field by field, one
// "name = value" line each, nested records with dotted names.
std::string display(const Value& v);

}  // namespace dot11b::rt
