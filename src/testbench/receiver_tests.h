// SPDX-License-Identifier: GPL-3.0-or-later
// The receiver tests of IEEE 802.11b-1999 18.4.8 (and, at 1 and 2 Mbit/s, those of the DSSS clause 15 of
// IEEE 802.11-1999), each as a composition of the composer: its PSDU length, rate and level plan.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "runtime/value.h"
#include "testbench/signal_composer.h"

namespace dot11b::testbench {

enum class ReceiverTest { kSensitivity, kMaxInput, kAdjacentChannel, kCca };

// "sensitivity", "max-input", "adjacent-channel", "cca".
std::optional<ReceiverTest> receiverTestNamed(const std::string& name);
std::string receiverTestName(ReceiverTest test);

struct ReceiverTestPlan {
  ReceiverTest test = ReceiverTest::kSensitivity;
  double rateMbps = 11;
  std::size_t psduOctets = 1024;
  std::size_t frames = 100;
  double wantedLevelDbm = -76;                 // at the antenna connector, mean power over the frames
  std::optional<double> interfererLevelDbm;    // the adjacent channel's
  double channelSpacingHz = 0;                 // of the adjacent channel; 0 without one
  std::optional<double> frameErrorRatio = 0.08;  // the most the receiver may lose; nothing for CCA
  std::string clauses;                         // where the numbers come from

  bool operator==(const ReceiverTestPlan&) const = default;
};

// The plan of a test at a rate (1, 2, 5.5 or 11 Mbit/s) with `frames` frames; `channelSpacingHz`, for the
// adjacent-channel test, at least the clause's. Throws std::invalid_argument for a rate, frame count or
// spacing outside them.
ReceiverTestPlan receiverTestPlan(ReceiverTest test, double rateMbps, std::size_t frames,
                                  std::optional<double> channelSpacingHz = std::nullopt);

// The frames of an adjacent-channel interferer, repeated under the wanted ones: each wanted frame meets
// it at some offset, and a short one costs little to make.
inline constexpr std::size_t kInterfererFrames = 16;

// The plan as a composition over `parameters` (the start values, or the user's record): data frames of
// the plan's rate and PSDU length with a PN9 payload, and for the adjacent-channel test an interferer of
// the same kind (kInterfererFrames of them, repeated), its own data and timing, at the spacing and the
// level difference. Where the composite's rate is a whole oversampling (2 to 9), the frames are made at
// it, their ramps and idle intervals as long in time.
CompositionSettings receiverTestComposition(const ReceiverTestPlan& plan, const rt::Value& parameters);

// The plan as lines of text, for the command line and the window.
std::vector<std::string> planLines(const ReceiverTestPlan& plan);
// The plan as a record (test, rateMbps, psduOctets, frames, wantedLevelDbm, interfererLevelDbm,
// channelSpacingHz, frameErrorRatio, clauses), for the MAT-file; and as a JSON object, for SigMF.
rt::Value planRecord(const ReceiverTestPlan& plan);
std::string planJson(const ReceiverTestPlan& plan);

}  // namespace dot11b::testbench
