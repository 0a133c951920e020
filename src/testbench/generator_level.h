// SPDX-License-Identifier: GPL-3.0-or-later
// A composite on a signal generator: the generator's level is the waveform's mean power over all its
// samples, so the amplitude that puts the wanted frames at a test level lies the composite's crest of
// frames over idle and interferers away from it. The command line and the window set it the same way.
#pragma once

#include "testbench/receiver_tests.h"
#include "testbench/signal_composer.h"

namespace dot11b::testbench {

// The signal generator's output level range [dBm] and its highest sample clock [Hz].
inline constexpr double kLowestAmplitudeDbm = -136, kHighestAmplitudeDbm = 20;
inline constexpr double kHighestSampleClock = 100e6;

// The plan with the wanted signal at `levelDbm` and its interferer moved by as much, so that the level
// difference stays the test's. Throws std::invalid_argument for a level no signal generator sets.
void setWantedLevel(ReceiverTestPlan& plan, double levelDbm);

struct GeneratorLevel {
  double amplitudeDbm = 0;  // to set, to a hundredth of a decibel, within the generator's range
  double wantedDbm = 0;     // where the wanted frames then arrive
  bool clamped = false;     // the amplitude the level needs lies beyond the generator's range
};

// The amplitude that puts the wanted frames of `composite` at `wantedLevelDbm`, or the nearest the
// generator sets.
GeneratorLevel generatorLevel(const Composite& composite, double wantedLevelDbm);

// Throws std::invalid_argument when the composite's rate lies above the signal generator's sample clock.
void checkSampleClock(double compositeRate);

}  // namespace dot11b::testbench
