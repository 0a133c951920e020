// SPDX-License-Identifier: GPL-3.0-or-later
// Field-by-field comparison of two records, as the application uses it to see whether the parameters
// changed since the last calculation.
#pragma once

#include "runtime/value.h"

namespace dot11b::settings {

// True when a and b are both records with the same field names in the same order and, field by field:
// both empty; or both records that compare equal; or both numeric of the same size with equal elements
// (NaN matching NaN at the same place); or both text with equal characters and shape; or both cell lists
// of the same size whose elements compare equal by these rules. Numeric storage classes are not compared.
bool compareStruct(const rt::Value& a, const rt::Value& b);

}  // namespace dot11b::settings
