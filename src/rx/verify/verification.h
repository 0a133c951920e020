// SPDX-License-Identifier: GPL-3.0-or-later
// What verifying a capture gives: every frame the receiver finds, the transmitter checks of each, and the
// spectrum mask of the first; with the summary a user reads (the command line and the window show the same).
#pragma once

#include <cstddef>
#include <functional>
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
  // Of each frame checked: its mean power from SYNC to its end, in dB relative to a sample of magnitude 1;
  // -inf for a frame of no power.
  std::vector<double> levelsDb;
};

// `carrierHz`: the capture's centre frequency, when known (for the centre-frequency check).
Verification verifyCapture(const ComplexRow& samples, double sampleRate, std::optional<double> carrierHz);

// What verifyStream keeps and makes of each frame beside the frame itself and its level.
struct VerifyScope {
  // false: each frame's PSDU goes once onFrame has seen it, so that a frame then takes a few hundred bytes,
  // whatever its length.
  bool keepPsdus = true;
  // false: no transmitter checks (each frame's are empty) and no mask, for a reader of frames alone (a
  // packet capture): the spectrum behind the checks is a third of the work of a frame.
  bool transmitterChecks = true;
};

// The same for a capture read block by block: frame k's checks are made once the capture has been read
// far enough beyond it (checkedBeyondFrame), and then `onFrame(v, k)` hears of it, so that a long capture
// shows its frames as it goes. Memory holds a few milliseconds of the capture beside the receiver's own,
// and the frames found.
class SampleSource;
Verification verifyStream(SampleSource& source, double sampleRate, std::optional<double> carrierHz,
                          const std::function<void(const Verification&, std::size_t)>& onFrame, VerifyScope scope = {});

// At least one frame, and every frame's header CRC holds (and its FCS, when `expectFcs`).
bool verified(const Verification& v, bool expectFcs);

// Frame by frame: rate, preamble, header, PSDU and FCS, offsets and EVM, the transmitter checks; then the
// mask. `withChecks` false leaves the checks and the mask out.
void writeSummary(std::ostream& out, const Verification& v, bool withChecks = true);
// The parts of the summary: frame k; what follows the frames (the mask, or that none was found).
void writeFrameSummary(std::ostream& out, const Verification& v, std::size_t k, bool withChecks = true);
void writeSummaryEnd(std::ostream& out, const Verification& v, bool withChecks = true);

}  // namespace dot11b::rx
