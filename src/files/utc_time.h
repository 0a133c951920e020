// SPDX-License-Identifier: GPL-3.0-or-later
// Times as SigMF and pcapng carry them: ISO 8601 UTC text and nanoseconds since the Unix epoch.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace dot11b::files {

// "2026-12-09T00:42:15Z", with any number of decimals of the second ("...15.123456789Z") and "Z" or
// "+00:00" at the end, in ns since the Unix epoch; nothing for another text or a time before 1970.
std::optional<std::uint64_t> parseUtcTime(std::string_view text);

// The system clock now, in ns since the Unix epoch.
std::uint64_t nowNs();

}  // namespace dot11b::files
