// What dot11b verify reports of the frames it received: a summary for people, JSON for programs.
#pragma once

#include <iostream>
#include <vector>

#include "rx/receiver.h"

namespace dot11b::cli {

// To `out`, standard output unless told otherwise.
void printSummary(const std::vector<rx::ReceivedFrame>& frames, std::ostream& out = std::cout);
// One object {"frames": [...], "mask": {...}}.
void printJson(const std::vector<rx::ReceivedFrame>& frames);
// At least one frame, and every frame's header CRC holds (and its FCS, when `expectFcs`).
bool verified(const std::vector<rx::ReceivedFrame>& frames, bool expectFcs);

}  // namespace dot11b::cli
