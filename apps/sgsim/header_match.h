// SPDX-License-Identifier: GPL-3.0-or-later
// Matching received SCPI headers against command patterns written in SCPI notation, e.g.
// "[:SOURce]:FREQuency[:FIXed]": a node matches its short form (the capitals, "FREQ") or its long
// form ("FREQUENCY"), letter case ignored; nodes in brackets may be left out.
#pragma once

#include <string_view>

namespace sgsim {

// True when `header` (e.g. ":freq:fix", "source:frequency", "*idn") matches `pattern`.
bool headerMatches(std::string_view pattern, std::string_view header);

}  // namespace sgsim
