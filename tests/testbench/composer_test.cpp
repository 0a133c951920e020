// SPDX-License-Identifier: GPL-3.0-or-later
// The composer: levels and offsets in the spectrum, the wanted frames decoded through a channel filter,
// interferers with data of their own, the receiver tests' plans and the generator's level.
#include "testbench/signal_composer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "channel/stages.h"
#include "rx/receiver.h"
#include "rx/stream/resample.h"
#include "rx/verify/spectrum_mask.h"
#include "settings/parameter_rules.h"
#include "settings/start_values.h"
#include "testbench/packet_error_rate.h"
#include "testbench/receiver_tests.h"

namespace dot11b::testbench {
namespace {

// The power in [low, high] [Hz] of the spectrum measured as the mask is: 100 kHz resolution bandwidth.
double bandPower(const std::vector<rx::MaskPoint>& spectrum, double low, double high) {
  double sum = 0;
  for (const rx::MaskPoint& p : spectrum)
    if (p.frequency >= low && p.frequency <= high) sum += p.dbr;  // a power, not yet in dB
  return sum;
}

double decibels(double ratio) { return 10 * std::log10(ratio); }

// Data frames at a rate, short enough for quick tests.
SignalSettings dataFrames(double rateMbps, std::size_t psduOctets, std::size_t frames) {
  SignalSettings s;
  s.parameters = dataFrameParameters(settings::initialParameters(), rateMbps, psduOctets);
  s.sequence.frames = frames;
  return s;
}

CompositionSettings adjacentChannelTest(std::size_t frames) {
  return receiverTestComposition(receiverTestPlan(ReceiverTest::kAdjacentChannel, 11, frames), settings::initialParameters());
}

TEST(Composer, AdjacentChannelTestPutsTheInterferer25MHzUpAnd35dBAboveWithinATenthOfADecibel) {
  const CompositionSettings settings = adjacentChannelTest(4);
  const Composite c = compose(settings);
  EXPECT_EQ(c.sampleRate, 99e6);  // 25 + 11 MHz inside 80 % of the band
  CompositionSettings alone = settings;
  alone.interferers.clear();
  alone.sampleRate = c.sampleRate;
  const Composite wantedOnly = compose(alone);
  // The interferer's skirt, within the mask, reaches into the wanted channel 35 dB below it: the wanted
  // channel's power is that of the wanted frames alone.
  const auto spectrum = rx::powerSpectrum(c.frame.waveform, c.sampleRate, 100e3);
  const double interferer = bandPower(spectrum, 14e6, 36e6);
  const double wanted = bandPower(rx::powerSpectrum(wantedOnly.frame.waveform, c.sampleRate, 100e3), -11e6, 11e6);
  EXPECT_NEAR(decibels(interferer / wanted), 35, 0.2);

  // Each signal alone meets the transmit mask: the interferer is the composite less the wanted frames.
  ComplexRow interfererOnly = c.frame.waveform;
  for (std::size_t n = 0; n < interfererOnly.size(); ++n) interfererOnly[n] -= wantedOnly.frame.waveform[n];
  channel::rotate(interfererOnly, -25e6 / c.sampleRate, 0);
  EXPECT_TRUE(rx::measureMask(wantedOnly.frame.waveform, c.sampleRate).passed());
  EXPECT_TRUE(rx::measureMask(interfererOnly, c.sampleRate).passed());
  // The generator's level: the waveform's mean power over the wanted frames' mean power, from the samples.
  double frames = 0, all = 0;
  std::size_t count = 0;
  for (std::size_t n = 0; n < c.frame.waveform.size(); ++n) {
    all += std::norm(c.frame.waveform[n]);
    if (wantedOnly.frame.marker2[n]) {
      frames += std::norm(wantedOnly.frame.waveform[n]);
      ++count;
    }
  }
  const double expected = -70 + decibels((all / static_cast<double>(c.frame.waveform.size())) / (frames / static_cast<double>(count)));
  EXPECT_NEAR(instrumentLevelDbm(c, -70), expected, 1e-9);
  EXPECT_EQ(c.frame.marker2, wantedOnly.frame.marker2);  // the markers are the wanted frames'
}

TEST(Composer, InterfererBelowAtItsLevelAndAToneAtItsOwn) {
  CompositionSettings s;
  s.wanted = dataFrames(2, 200, 3);
  Interferer it;
  it.signal = dataFrames(11, 300, 2);
  it.offsetHz = -30e6;
  it.levelDb = 12;
  s.interferers.push_back(it);
  s.tone = Tone{20e6, -6};
  const Composite c = compose(s);
  EXPECT_EQ(c.sampleRate, 110e6);  // 41 MHz is within 80 % of 110 MHz, not of 99
  // The wanted and the interferer have other idle shares: each level is measured over its own frames.
  CompositionSettings alone = s;
  alone.interferers.clear();
  alone.tone.reset();
  alone.sampleRate = c.sampleRate;
  const Composite wantedOnly = compose(alone);
  const auto spectrum = rx::powerSpectrum(c.frame.waveform, c.sampleRate, 100e3);
  const auto wantedSpectrum = rx::powerSpectrum(wantedOnly.frame.waveform, c.sampleRate, 100e3);
  const double toneRatio = bandPower(spectrum, 19.5e6, 20.5e6) / bandPower(wantedSpectrum, -11e6, 11e6);
  const double duty = wantedOnly.meanPower / wantedOnly.wantedPower;  // the wanted frames' share of the time
  EXPECT_NEAR(decibels(toneRatio * duty), -6, 0.2);
}

TEST(Composer, WantedFramesDecodeBitExactlyThroughAChannelFilterAtEveryRate) {
  for (const double rate : {1.0, 2.0, 5.5, 11.0}) {
    CompositionSettings s;
    s.wanted = dataFrames(rate, 120, 3);
    Interferer it;
    it.signal = dataFrames(rate, 120, 3);
    it.offsetHz = 25e6;
    it.levelDb = 35;
    s.interferers.push_back(it);
    const Composite c = compose(s);
    // The channel filter: the band-limited resampler down to two samples a chip.
    const ComplexRow filtered = rx::resample(c.frame.waveform, c.sampleRate, 22e6);
    // In the wanted signal's idle time, what the filter leaves of the interferer may start a frame whose
    // header fails; every frame that holds is a wanted one, bit for bit, and none is missing.
    std::vector<Bits> valid;
    for (const rx::ReceivedFrame& f : rx::receiveFrames(filtered, 22e6))
      if (f.fcsOk) valid.push_back(f.psdu);
    EXPECT_EQ(valid, c.wantedPsdus) << rate << " Mbit/s";
  }
}

TEST(Composer, AnInterfererCarriesDataOfItsOwn) {
  const Composite c = compose(adjacentChannelTest(3));
  ASSERT_EQ(c.interfererPsdus.size(), 1u);
  ASSERT_EQ(c.interfererPsdus[0].size(), c.wantedPsdus.size());
  for (std::size_t k = 0; k < c.wantedPsdus.size(); ++k) {
    ASSERT_EQ(c.interfererPsdus[0][k].size(), c.wantedPsdus[k].size());
    // The same MAC header, other payload bits.
    EXPECT_NE(c.interfererPsdus[0][k], c.wantedPsdus[k]) << "frame " << k;
  }
  // Its frames start elsewhere, and each seed draws its own start.
  CompositionSettings other = adjacentChannelTest(3);
  other.seed = 2;
  EXPECT_NE(c.interfererStarts, compose(other).interfererStarts);
}

TEST(Composer, RatesAndLevelsOutsideTheComposersReachAreRefusedNamingTheSignal) {
  CompositionSettings s;
  s.wanted = dataFrames(11, 100, 1);
  EXPECT_EQ(compositeRate(s), 44e6);  // the wanted frame's own rate
  Interferer it;
  it.signal = s.wanted;
  it.offsetHz = 70e6;
  s.interferers.push_back(it);
  try {
    compositeRate(s);
    FAIL() << "an offset of 70 MHz taken";
  } catch (const std::invalid_argument& e) {
    EXPECT_NE(std::string(e.what()).find("interferer 1 at 70 MHz needs a sample rate of 209 MHz"), std::string::npos)
        << e.what();
  }
  s.interferers[0].offsetHz = 68e6;
  EXPECT_EQ(compositeRate(s), 198e6);
  s.interferers[0].offsetHz = 69e6;
  s.sampleRate = 200e6;  // a rate given need not be a multiple of 11 MHz
  EXPECT_EQ(compositeRate(s), 200e6);
  s.sampleRate = 110e6;
  EXPECT_THROW(compositeRate(s), std::invalid_argument);
  s.sampleRate.reset();
  s.interferers[0].levelDb = 80.5;
  EXPECT_THROW(compositeRate(s), std::invalid_argument);
  s.interferers[0].levelDb = 0;
  s.interferers[0].offsetHz = 25e6;
  s.interferers[0].signal.parameters.setField("dataRate", rt::Value::scalar(3));
  try {
    compose(s);
    FAIL() << "a bad interferer taken";
  } catch (const std::exception& e) {
    EXPECT_EQ(std::string(e.what()).rfind("interferer 1: ", 0), 0u) << e.what();
  }
}

TEST(ReceiverTests, PlansFollowTheClauses) {
  const ReceiverTestPlan sensitivity = receiverTestPlan(ReceiverTest::kSensitivity, 11, 100);
  EXPECT_EQ(sensitivity.wantedLevelDbm, -76);
  EXPECT_EQ(sensitivity.psduOctets, 1024u);
  EXPECT_EQ(sensitivity.frameErrorRatio, 0.08);
  EXPECT_EQ(receiverTestPlan(ReceiverTest::kSensitivity, 2, 100).wantedLevelDbm, -80);
  EXPECT_EQ(receiverTestPlan(ReceiverTest::kMaxInput, 5.5, 100).wantedLevelDbm, -10);
  EXPECT_EQ(receiverTestPlan(ReceiverTest::kMaxInput, 1, 100).wantedLevelDbm, -4);
  const ReceiverTestPlan adjacent = receiverTestPlan(ReceiverTest::kAdjacentChannel, 11, 100);
  EXPECT_EQ(adjacent.wantedLevelDbm, -70);
  EXPECT_EQ(adjacent.interfererLevelDbm, -35);
  EXPECT_EQ(adjacent.channelSpacingHz, 25e6);
  const ReceiverTestPlan dsss = receiverTestPlan(ReceiverTest::kAdjacentChannel, 2, 100);
  EXPECT_EQ(dsss.channelSpacingHz, 30e6);
  EXPECT_EQ(*dsss.interfererLevelDbm - dsss.wantedLevelDbm, 35);
  EXPECT_FALSE(receiverTestPlan(ReceiverTest::kCca, 11, 10).frameErrorRatio);
  EXPECT_THROW(receiverTestPlan(ReceiverTest::kAdjacentChannel, 11, 100, 20e6), std::invalid_argument);
  EXPECT_THROW(receiverTestPlan(ReceiverTest::kSensitivity, 11, 100, 30e6), std::invalid_argument);
  EXPECT_THROW(receiverTestPlan(ReceiverTest::kSensitivity, 3, 100), std::invalid_argument);
  const CompositionSettings c = receiverTestComposition(adjacent, settings::initialParameters());
  ASSERT_EQ(c.interferers.size(), 1u);
  EXPECT_EQ(c.interferers[0].levelDb, 35);
  EXPECT_EQ(c.wanted.parameters.field("totalLength").scalarValue(), 1024);
}

}  // namespace
}  // namespace dot11b::testbench
