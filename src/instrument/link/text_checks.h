// SPDX-License-Identifier: GPL-3.0-or-later
// Checks of the texts that end up inside instrument commands.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dot11b::instrument {

// Why the waveform title cannot be sent (it is enclosed in double quotes in the commands): empty,
// or holding a double quote, a line break or another control character. Nothing when it is fine.
std::optional<std::string> titleProblem(std::string_view title);

}  // namespace dot11b::instrument
