// SPDX-License-Identifier: GPL-3.0-or-later
// Checks and small parsers for the SCPI texts the module sends and receives.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dot11b::instrio {

// The text with control characters written as \xNN, for messages.
std::string printable(std::string_view text);

// Refuses (BusError INSTRIO_BAD_ARGUMENT) an empty command text, one holding a control character
// (line breaks included: they would split it into several commands) or ending inside a quoted
// string (the instrument would take the terminator as part of the string and wait).
void checkCommandText(std::string_view text);

// Refuses an empty waveform title or one holding a double quote or a control character: the
// title is sent inside a double-quoted SCPI string.
void checkWaveformTitle(std::string_view title);

// True when the command text holds a query ('?' outside quoted strings), so a reply follows.
bool isQuery(std::string_view text);

// Error number of a :SYSTem:ERRor? reply such as `-113,"Undefined header"` or `+0,"No error"`;
// empty when the reply does not start with a whole number followed by a comma or the end.
std::optional<long> errorNumber(std::string_view reply);

}  // namespace dot11b::instrio
