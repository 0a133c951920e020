// SPDX-License-Identifier: GPL-3.0-or-later
// One frame from its acquisition on: the preamble search, then the PLCP header and the PSDU at its rate.
#pragma once

#include <cstddef>
#include <optional>

#include "rx/acquisition.h"
#include "rx/chip_stream.h"
#include "rx/receiver.h"

namespace dot11b::rx {

struct FrameOutcome {
  std::optional<ReceivedFrame> frame;  // nothing when no SFD followed the acquisition
  double resumeAt = 0;                 // stream sample from which to look for the next frame
};

// `stream` has the acquisition's carrier offset removed from `acquisition.firstSymbol` on; times are its
// samples.
FrameOutcome decodeFrame(const ChipStream& stream, const Acquisition& acquisition);

}  // namespace dot11b::rx
