// SPDX-License-Identifier: GPL-3.0-or-later
#include "testbench/generator_level.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "runtime/shortest_text.h"

namespace dot11b::testbench {

void setWantedLevel(ReceiverTestPlan& plan, double levelDbm) {
  if (!(levelDbm >= kLowestAmplitudeDbm && levelDbm <= kHighestAmplitudeDbm))
    throw std::invalid_argument("the wanted level must be -136 to 20 dBm, not " + rt::shortestText(levelDbm));
  if (plan.interfererLevelDbm) *plan.interfererLevelDbm += levelDbm - plan.wantedLevelDbm;
  plan.wantedLevelDbm = levelDbm;
}

GeneratorLevel generatorLevel(const Composite& composite, double wantedLevelDbm) {
  const double needed = std::round(100 * instrumentLevelDbm(composite, wantedLevelDbm)) / 100;
  GeneratorLevel level;
  level.amplitudeDbm = std::clamp(needed, kLowestAmplitudeDbm, kHighestAmplitudeDbm);
  level.wantedDbm = wantedLevelDbm + (level.amplitudeDbm - needed);
  level.clamped = level.amplitudeDbm != needed;
  return level;
}

void checkSampleClock(double compositeRate) {
  if (compositeRate > kHighestSampleClock)
    throw std::invalid_argument("the test's composite takes " + rt::shortestText(compositeRate / 1e6) +
                                " MHz, above the signal generator's sample clock of " +
                                rt::shortestText(kHighestSampleClock / 1e6) + " MHz");
}

}  // namespace dot11b::testbench
