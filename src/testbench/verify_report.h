// SPDX-License-Identifier: GPL-3.0-or-later
// What verifying a capture gives programs: the results as JSON (dot11b verify --json, and the library's
// Dot11b_Verify), and the mask as CSV. (The summary for people is the receiver's own, rx::writeSummary.)
#pragma once

#include <string>

#include "rx/verify/verification.h"

namespace dot11b::testbench {

// One object {"frames": [...], "mask": {...}}, indented by two; the mask's "measured" is false without a frame.
std::string verificationJson(const rx::Verification& v);
// Frequency, level and limit of every point of the mask as CSV with a header row, put in place only once
// whole. Throws when the file cannot be written, naming it and the cause.
void writeMaskCsv(const std::string& path, const rx::MaskResult& mask);

}  // namespace dot11b::testbench
