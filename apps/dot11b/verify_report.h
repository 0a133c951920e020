// What dot11b verify reports of the frames it received: a summary for people, JSON for programs.
#pragma once

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "rx/receiver.h"
#include "rx/spectrum_mask.h"
#include "rx/transmitter_checks.h"

namespace dot11b::cli {

// To `out`, standard output unless told otherwise.
// `checks`: the transmitter checks of each frame, in the frames' order (or none).
void printSummary(const std::vector<rx::ReceivedFrame>& frames, std::ostream& out = std::cout,
                  const std::vector<std::vector<rx::TransmitterCheck>>& checks = {});
// The spectrum mask's two regions, their worst levels and margins.
void printMask(const rx::MaskResult& mask, double sampleRate, std::ostream& out = std::cout);
// One object {"frames": [...], "mask": {...}}; the mask's "measured" is false without a frame.
void printJson(const std::vector<rx::ReceivedFrame>& frames, const std::optional<rx::MaskResult>& mask,
               const std::vector<std::vector<rx::TransmitterCheck>>& checks);
// Frequency, level and limit of every point of the mask as CSV with a header row. Throws when the file
// cannot be written.
void writeMaskCsv(const std::string& path, const rx::MaskResult& mask);
// At least one frame, and every frame's header CRC holds (and its FCS, when `expectFcs`).
bool verified(const std::vector<rx::ReceivedFrame>& frames, bool expectFcs);

}  // namespace dot11b::cli
