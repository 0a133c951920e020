// What dot11b verify prints for programs: the results as JSON, and the mask as CSV. (The summary for
// people is the receiver's own, rx::writeSummary.)
#pragma once

#include <string>

#include "rx/verification.h"

namespace dot11b::cli {

// One object {"frames": [...], "mask": {...}}; the mask's "measured" is false without a frame.
void printJson(const rx::Verification& v);
// Frequency, level and limit of every point of the mask as CSV with a header row. Throws when the file
// cannot be written.
void writeMaskCsv(const std::string& path, const rx::MaskResult& mask);

}  // namespace dot11b::cli
