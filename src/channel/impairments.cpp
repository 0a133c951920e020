// SPDX-License-Identifier: GPL-3.0-or-later
#include "channel/impairments.h"

#include <cmath>
#include <stdexcept>

#include "channel/stages.h"
#include "runtime/value_range.h"
#include "rx/stream/front_end.h"

namespace dot11b::channel {

namespace {

void require(bool holds, const char* message) {
  if (!holds) throw std::invalid_argument(message);
}

}  // namespace

bool Impairments::any() const {
  return snrDb || cfoHz != 0 || phaseDeg != 0 || clockPpm != 0 || iqGainDb != 0 || iqSkewDeg != 0 ||
         dc != Complex(0, 0) || multipathRmsNs != 0;
}

void checkImpairments(const Impairments& im, double sampleRate) {
  // A range test fails for NaN as well as for the infinities.
  // The noise and multipath stages size themselves by the rate, as the receiver does.
  rx::requireReceivableRate("the sample rate", sampleRate);
  if (im.snrDb) rt::requireInRange("--snr", *im.snrDb, kLowestSnrDb, kHighestSnrDb, "dB");
  require(std::abs(im.cfoHz) < sampleRate / 2, "--cfo must be a number of Hz below half the sample rate");
  require(std::isfinite(im.phaseDeg), "--phase must be a finite number of degrees");
  require(std::abs(im.clockPpm) <= 1000, "--clock-ppm must lie within +-1000 ppm");
  require(std::abs(im.iqGainDb) <= 20, "--iq-gain must lie within +-20 dB");
  require(std::abs(im.iqSkewDeg) < 90, "--iq-skew must lie between -90 and 90 degrees");
  require(std::isfinite(im.dc.real()) && std::isfinite(im.dc.imag()), "--dc must be a finite complex number");
  require(im.multipathRmsNs >= 0 && im.multipathRmsNs <= 2000, "--multipath must be an RMS delay spread of 0 to 2000 ns");
}

ComplexRow impair(ComplexRow samples, double sampleRate, const Bits& frameMask, const Impairments& im) {
  checkImpairments(im, sampleRate);
  if (!frameMask.empty() && frameMask.size() != samples.size()) {
    throw std::invalid_argument("impair: the frame mask must have the waveform's length");
  }
  if (!im.any() || samples.empty()) return samples;
  if (im.iqGainDb != 0 || im.iqSkewDeg != 0 || im.dc != Complex(0, 0)) {
    applyModulatorErrors(samples, im.iqGainDb, im.iqSkewDeg, im.dc);
  }
  if (im.clockPpm != 0) samples = offsetClock(samples, sampleRate, im.clockPpm);
  if (im.cfoHz != 0 || im.phaseDeg != 0) rotate(samples, im.cfoHz / sampleRate, im.phaseDeg);
  if (im.multipathRmsNs != 0) convolveCircularly(samples, multipathTaps(sampleRate, im.multipathRmsNs, im.seed));
  if (im.snrDb) addNoise(samples, sampleRate, frameMask, *im.snrDb, im.seed);
  return samples;
}

}  // namespace dot11b::channel
