// SPDX-License-Identifier: GPL-3.0-or-later
// Frames one after another in one waveform, each with its own ramps and idle interval: the MAC header's
// sequence number counts up from frame to frame, the payload carries on or repeats, and a frame template's
// management body is built for each frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "mac/frame_templates.h"
#include "phy/frame.h"
#include "runtime/value.h"

namespace dot11b::testbench {

enum class PayloadRun {
  kContinue,  // PN9, PN15 and a user file go on where the frame before left off
  kRepeat,    // every frame carries the first frame's payload
};

struct SequenceSettings {
  std::size_t frames = 1;
  PayloadRun payload = PayloadRun::kContinue;
  // A template already applied to the record (applyTemplate); its management body is built frame by frame.
  std::optional<mac::TemplateSettings> frameTemplate;
  // PN9, PN15 and a payload file start this many octets in: a second signal of the same settings carries
  // other data.
  std::uint64_t payloadStartOctet = 0;
};

// The most samples a sequence may hold: 32 Msamples, the largest waveform memory of the signal generators.
inline constexpr double kMaxSequenceSamples = 33554432;
inline constexpr std::size_t kMaxSequenceFrames = 65536;

// The samples of `frames` frames of the record (ProjectedLength each). Throws ParameterError when there are
// no frames, too many, or more samples than kMaxSequenceSamples.
double sequenceLength(const rt::Value& parameters, std::size_t frames);

// Checks the record (ParameterError naming the first bad field) and the sequence's size, projected and then
// as made (ParameterError when the samples made exceed kMaxSequenceSamples), and returns the
// frames one after another with their markers; `psdus`, when given, gets each frame's PSDU. One frame
// without a template is the frame of calculate().
phy::Frame calculateSequence(const rt::Value& parameters, const SequenceSettings& sequence,
                             std::vector<Bits>* psdus = nullptr);

}  // namespace dot11b::testbench
