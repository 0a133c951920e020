// SPDX-License-Identifier: GPL-3.0-or-later
// "Open in Wireshark" of Verify Frame: the frames the receiver found, written as pcapng beside the
// parameter file of the waveform (or in the working folder) and opened with Wireshark when it is
// installed; when it is not, the user is told where the file is.
#pragma once

#include <optional>
#include <string>

#include "rx/verify/verification.h"

namespace dot11b::windows {

// The button that offers it, beside "OK".
inline constexpr const char* kOpenInWireshark = "Open in Wireshark";

// "/data/beacon.mat" gives "/data/beacon.pcapng"; no parameter file gives "dot11b_frames.pcapng".
std::string framesFileFor(const std::string& parameterFile);

// Writes the frames of `v` to `path` and opens the file with Wireshark; a box says what happened when
// Wireshark is not installed or the file cannot be written.
void openInWireshark(const rx::Verification& v, std::optional<double> carrierHz, const std::string& path);

}  // namespace dot11b::windows
