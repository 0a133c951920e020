// What verifying a capture gives: every frame the receiver finds, the transmitter checks of each, and the
// spectrum mask of the first; with the summary a user reads (the command line and the window show the same).
#pragma once

#include <optional>
#include <ostream>
#include <vector>

#include "phy/types.h"
#include "rx/receiver.h"
#include "rx/verify/spectrum_mask.h"
#include "rx/verify/transmitter_checks.h"

namespace dot11b::rx {

struct Verification {
  double sampleRate = 0;
  std::vector<ReceivedFrame> frames;
  std::vector<std::vector<TransmitterCheck>> checks;  // of each frame
  std::optional<MaskResult> mask;                     // of the first frame
};

// `carrierHz`: the capture's centre frequency, when known (for the centre-frequency check).
Verification verifyCapture(const ComplexRow& samples, double sampleRate, std::optional<double> carrierHz);

// At least one frame, and every frame's header CRC holds (and its FCS, when `expectFcs`).
bool verified(const Verification& v, bool expectFcs);

// Frame by frame: rate, preamble, header, PSDU and FCS, offsets and EVM, the transmitter checks; then the
// mask. `withChecks` false leaves the checks and the mask out.
void writeSummary(std::ostream& out, const Verification& v, bool withChecks = true);

}  // namespace dot11b::rx
