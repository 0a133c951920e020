// SPDX-License-Identifier: GPL-3.0-or-later
// Date-time vectors (year, month, day, hour, minute, seconds) and their text, as time stamps show them.
#pragma once

#include <string>

#include "runtime/value.h"

namespace dot11b::settings {

// The local date and time now, as a six-element row.
rt::Value clockNow();

// "06DEC2026 9:05:03": day with two digits, month in capitals, year, hour without a leading zero,
// minutes and whole (truncated) seconds with two digits. Throws for a vector that is not six finite
// numbers with a month from 1 to 12.
std::string clock2str(const rt::Value& clkVector);

}  // namespace dot11b::settings
