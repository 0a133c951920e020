// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/receiver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "mac/mac_header.h"
#include "mac/payload.h"
#include "phy/frame.h"
#include "rx/stream/resample.h"
#include "rx/verify/spectrum_mask.h"
#include "rx/verify/transmitter_checks.h"
#include "rx/verify/verification.h"

namespace dot11b::test {
namespace {

struct FrameCase {
  double rate;
  int preamble;    // 0 long, 1 short
  int filter;      // 0 none, 1 Gaussian, 2 root raised cosine
  double oversampling;
  int scrambler = 1;
  int pbcc = 0;
  int coder = 1;
};

std::ostream& operator<<(std::ostream& out, const FrameCase& c) {
  return out << c.rate << " Mbit/s, " << (c.preamble ? "short" : "long") << ", filter " << c.filter << ", x"
             << c.oversampling << ", scrambler " << c.scrambler << (c.pbcc ? ", PBCC" : "") << (c.coder ? "" : " uncoded");
}

phy::FrameSettings settingsOf(const FrameCase& c) {
  phy::FrameSettings s;
  s.dataRate = c.rate;
  s.preambleType = c.preamble;
  s.scramblerActive = c.scrambler;
  s.highRateMod = c.pbcc;
  s.encoderActive = c.coder;
  s.oversamplingRate = c.oversampling;
  s.filterType = c.filter;
  s.filterFactor = 0.5;
  s.filterTaps = c.filter == 2 ? 16 * std::ceil(c.oversampling) : 6 * std::ceil(c.oversampling);
  s.rampType = 1;
  s.rampLength = 2 * 11 * c.oversampling;
  s.idleSamples = 100;
  return s;
}

// A PSDU with MAC header and FCS around `octets` PN9 octets.
Bits psduOf(std::size_t octets) {
  mac::PayloadSettings payload;
  payload.dataSourceType = 5;
  payload.dataLength = static_cast<double>(octets);
  payload.macHeaderActive = true;
  payload.macHeaderBits = mac::defaultMacHeader().bitStream;
  payload.fcsActive = true;
  return mac::generatePayload(payload);
}

class ReceivedAsSent : public ::testing::TestWithParam<FrameCase> {};

TEST_P(ReceivedAsSent, PsduAndHeaderDecode) {
  const FrameCase& c = GetParam();
  const Bits psdu = psduOf(60);
  const phy::Frame frame = phy::generateFrame(psdu, settingsOf(c));
  const auto frames = rx::receiveFrames(frame.waveform, 11e6 * c.oversampling);
  ASSERT_EQ(frames.size(), 1U);
  const rx::ReceivedFrame& got = frames.front();
  EXPECT_TRUE(got.header.crcOk);
  EXPECT_EQ(got.shortPreamble, c.preamble == 1);
  EXPECT_EQ(got.scrambled, c.scrambler == 1);
  ASSERT_TRUE(got.header.rateMbps());
  EXPECT_EQ(*got.header.rateMbps(), c.rate);
  EXPECT_EQ(got.modulation, c.rate == 1 ? "DBPSK" : c.rate == 2 ? "DQPSK" : c.pbcc ? "PBCC" : "CCK");
  EXPECT_TRUE(got.psdu == psdu) << "first difference at bit "
                                << std::mismatch(got.psdu.begin(), got.psdu.end(), psdu.begin(), psdu.end()).first -
                                       got.psdu.begin();
  EXPECT_TRUE(got.fcsOk);
  EXPECT_LT(std::abs(got.cfoHz), 1e3);
  // Unfiltered chips have a flat-topped correlation peak, which tells the chip timing less sharply.
  EXPECT_LT(std::abs(got.clockPpm), c.filter == 0 ? 5 : 2);
}

INSTANTIATE_TEST_SUITE_P(
    Rates, ReceivedAsSent,
    ::testing::Values(FrameCase{1, 0, 0, 4}, FrameCase{2, 0, 0, 4}, FrameCase{5.5, 0, 0, 4}, FrameCase{11, 0, 0, 4},
                      FrameCase{2, 1, 0, 4}, FrameCase{5.5, 1, 0, 4}, FrameCase{11, 1, 0, 4},
                      FrameCase{1, 0, 2, 9}, FrameCase{11, 0, 2, 9}, FrameCase{11, 1, 1, 2}, FrameCase{2, 0, 1, 2.5},
                      FrameCase{5.5, 0, 2, 2.5}, FrameCase{11, 1, 2, 8}, FrameCase{1, 0, 1, 1},
                      FrameCase{5.5, 0, 0, 4, 1, 1}, FrameCase{11, 0, 0, 4, 1, 1}, FrameCase{11, 1, 2, 9, 1, 1},
                      FrameCase{5.5, 1, 1, 2.5, 1, 1}, FrameCase{11, 0, 2, 4, 1, 1, 0}, FrameCase{5.5, 0, 2, 4, 1, 1, 0},
                      FrameCase{11, 0, 2, 4, 0}, FrameCase{2, 1, 2, 4, 2}));

// The frame with white Gaussian noise: `snrDb` is the frame's mean power over the noise power in the
// 11 MHz chip bandwidth.
ComplexRow withNoise(const ComplexRow& frame, double sampleRate, double snrDb, unsigned seed) {
  double power = 0;
  for (const Complex& x : frame) power += std::norm(x);
  power /= static_cast<double>(frame.size());
  const double noisePower = power / std::pow(10, snrDb / 10) * sampleRate / 11e6;
  std::mt19937 generator(seed);
  std::normal_distribution<double> normal(0, std::sqrt(noisePower / 2));
  ComplexRow noisy = frame;
  for (Complex& x : noisy) x += Complex(normal(generator), normal(generator));
  return noisy;
}

struct NoiseCase {
  double rate;
  double snrDb;
};

std::ostream& operator<<(std::ostream& out, const NoiseCase& c) { return out << c.rate << " Mbit/s at " << c.snrDb << " dB"; }

class ReceivedThroughNoise : public ::testing::TestWithParam<NoiseCase> {};

TEST_P(ReceivedThroughNoise, ThePsduSurvivesOnTheProcessingGain) {
  const NoiseCase& c = GetParam();
  const FrameCase frameCase{c.rate, 0, 2, 4};
  const Bits psdu = psduOf(100);
  const ComplexRow clean = phy::generateFrame(psdu, settingsOf(frameCase)).waveform;
  for (unsigned seed : {1u, 2u, 3u}) {
    const auto frames = rx::receiveFrames(withNoise(clean, 44e6, c.snrDb, seed), 44e6);
    ASSERT_EQ(frames.size(), 1U) << "seed " << seed;
    EXPECT_TRUE(frames.front().header.crcOk) << "seed " << seed;
    EXPECT_TRUE(frames.front().psdu == psdu) << "seed " << seed;
    EXPECT_TRUE(frames.front().fcsOk) << "seed " << seed;
  }
}

INSTANTIATE_TEST_SUITE_P(Rates, ReceivedThroughNoise, ::testing::Values(NoiseCase{1, 0}, NoiseCase{2, 4}, NoiseCase{11, 10}));

TEST(ReceivedWithOffsets, CarrierAndChipClockOffsetsAreFollowedAndMeasured) {
  // +-60 kHz is 25 ppm at 2.4 GHz; the chip clock is 25 ppm off as well.
  for (const auto& [rate, cfo, ppm] : {std::tuple{11.0, 60e3, 25.0}, std::tuple{1.0, -60e3, -25.0}, std::tuple{5.5, 60e3, -25.0}}) {
    const FrameCase frameCase{rate, 0, 2, 4};
    const Bits psdu = psduOf(rate == 1 ? 300 : 1500);
    const ComplexRow sent = phy::generateFrame(psdu, settingsOf(frameCase)).waveform;
    // Samples made by a clock `ppm` fast, taken by ours, then shifted by the carrier offset.
    ComplexRow received = rx::resample(sent, 44e6 * (1 + ppm * 1e-6), 44e6);
    for (std::size_t n = 0; n < received.size(); ++n) received[n] *= std::polar(1.0, 2 * std::numbers::pi * cfo * n / 44e6);
    const auto frames = rx::receiveFrames(received, 44e6);
    ASSERT_EQ(frames.size(), 1U) << rate;
    EXPECT_TRUE(frames.front().psdu == psdu) << rate;
    EXPECT_TRUE(frames.front().fcsOk) << rate;
    EXPECT_NEAR(frames.front().cfoHz, cfo, 2e3) << rate;
    EXPECT_NEAR(frames.front().clockPpm, ppm, 2) << rate;
  }
}

TEST(ReceivedFromAnSdr, ACaptureAt20MsamplePerSecondDecodes) {
  const FrameCase frameCase{11, 1, 2, 4};
  const Bits psdu = psduOf(200);
  const ComplexRow capture = rx::resample(phy::generateFrame(psdu, settingsOf(frameCase)).waveform, 44e6, 20e6);
  const auto frames = rx::receiveFrames(capture, 20e6);
  ASSERT_EQ(frames.size(), 1U);
  EXPECT_TRUE(frames.front().psdu == psdu);
  EXPECT_TRUE(frames.front().fcsOk);
}

TEST(ReceivedFrames, SeveralInOneCaptureAndDamageIsReported) {
  const FrameCase frameCase{2, 0, 2, 4};
  const Bits psdu = psduOf(40);
  const ComplexRow one = phy::generateFrame(psdu, settingsOf(frameCase)).waveform;
  ComplexRow capture;
  for (int k = 0; k < 3; ++k) capture.insert(capture.end(), one.begin(), one.end());
  const auto frames = rx::receiveFrames(capture, 44e6);
  ASSERT_EQ(frames.size(), 3U);
  for (std::size_t k = 0; k < 3; ++k) {
    EXPECT_TRUE(frames[k].fcsOk) << k;
    EXPECT_NEAR(frames[k].startSample, static_cast<double>(k * one.size() + 2 * 11 * 4), 8) << k;
  }
}

// A power-on ramp of 29 chips (88 samples, the generator's ramp for 44 Msample/s, at 33 Msample/s) carries
// Barker chips that do not line up with the SYNC symbols. The frame decodes wherever it starts: moved
// sample by sample (a third of a chip) across the end of the first block the preamble search looks at,
// far into a capture, and one copy after another.
TEST(ReceivedFrames, AFrameDecodesWhereverItStarts) {
  const FrameCase frameCase{11, 0, 1, 3};
  phy::FrameSettings settings = settingsOf(frameCase);
  settings.rampLength = 88;
  const Bits psdu = psduOf(60);
  const ComplexRow one = phy::generateFrame(psdu, settings).waveform;
  // The SYNC follows the 29 chips of the ramp.
  const auto expectDecoded = [&](const rx::ReceivedFrame& got, double start, const std::string& where) {
    EXPECT_TRUE(got.fcsOk && got.psdu == psdu) << where;
    EXPECT_NEAR(got.startSample, start + 29 * 3, 2) << where;
    EXPECT_LT(std::abs(got.cfoHz), 1e3) << where;
    EXPECT_LT(std::abs(got.clockPpm), 2) << where;
  };
  std::vector<std::size_t> pads = {20000};
  for (std::size_t pad = 420; pad <= 560; ++pad) pads.push_back(pad);
  for (const std::size_t pad : pads) {
    ComplexRow capture(pad, Complex(0, 0));
    capture.insert(capture.end(), one.begin(), one.end());
    const auto frames = rx::receiveFrames(capture, 33e6);
    ASSERT_EQ(frames.size(), 1U) << "after " << pad << " samples";
    expectDecoded(frames.front(), static_cast<double>(pad), "after " + std::to_string(pad) + " samples");
  }
  settings.idleSamples = 4400;
  const ComplexRow spaced = phy::generateFrame(psdu, settings).waveform;
  ComplexRow sequence;
  for (int k = 0; k < 4; ++k) sequence.insert(sequence.end(), spaced.begin(), spaced.end());
  const auto frames = rx::receiveFrames(sequence, 33e6);
  ASSERT_EQ(frames.size(), 4U);
  for (std::size_t k = 0; k < 4; ++k) {
    expectDecoded(frames[k], static_cast<double>(k * spaced.size()), "frame " + std::to_string(k + 1));
  }
}

// Frames 1000 samples apart at 12 dB: the last chips of each frame stand out of the noise after them, and
// the block after those holds the idle noise a few symbols ahead of the next frame's power-on ramp. Every
// frame decodes all the same.
TEST(ReceivedFrames, FramesCloseBehindEachOtherDecodeThroughNoise) {
  const FrameCase frameCase{1, 0, 2, 4};
  phy::FrameSettings settings = settingsOf(frameCase);
  settings.idleSamples = 1000;
  const Bits psdu = psduOf(20);
  const ComplexRow one = phy::generateFrame(psdu, settings).waveform;
  ComplexRow sequence;
  for (int k = 0; k < 8; ++k) sequence.insert(sequence.end(), one.begin(), one.end());
  for (unsigned seed : {1u, 2u, 3u}) {
    const auto frames = rx::receiveFrames(withNoise(sequence, 44e6, 12, seed), 44e6);
    ASSERT_EQ(frames.size(), 8U) << "seed " << seed;
    for (std::size_t k = 0; k < 8; ++k) {
      EXPECT_TRUE(frames[k].fcsOk && frames[k].psdu == psdu) << "seed " << seed << ", frame " << k + 1;
      EXPECT_NEAR(frames[k].startSample, static_cast<double>(k * one.size() + 2 * 11 * 4), 2) << "seed " << seed;
    }
  }
}

TEST(SpectrumMaskOfFrames, UnfilteredChipsFailAndRootRaisedCosineChipsPass) {
  for (const int filter : {0, 2}) {
    const FrameCase frameCase{11, 0, filter, 8};
    phy::FrameSettings settings = settingsOf(frameCase);
    settings.filterTaps = 32 * 8;
    const ComplexRow waveform = phy::generateFrame(psduOf(500), settings).waveform;
    const auto frames = rx::receiveFrames(waveform, 88e6);
    ASSERT_EQ(frames.size(), 1U);
    const auto first = static_cast<std::ptrdiff_t>(frames.front().startSample);
    const auto end = static_cast<std::ptrdiff_t>(frames.front().endSample);
    const rx::MaskResult mask = rx::measureMask(ComplexRow(waveform.begin() + first, waveform.begin() + end), 88e6);
    ASSERT_TRUE(mask.inner.measured);
    ASSERT_TRUE(mask.outer.measured);
    EXPECT_EQ(mask.passed(), filter == 2) << "filter " << filter << ": margins " << mask.inner.margin << ", "
                                          << mask.outer.margin;
  }
}

// The check of that name among the transmitter checks of the capture's only frame.
rx::TransmitterCheck checkOf(const ComplexRow& capture, const std::string& name, std::optional<double> carrier = {}) {
  const auto frames = rx::receiveFrames(capture, 44e6);
  EXPECT_EQ(frames.size(), 1U);
  const auto first = static_cast<std::ptrdiff_t>(frames.front().startSample);
  const auto end = static_cast<std::ptrdiff_t>(frames.front().endSample);
  const rx::MaskResult mask = rx::measureMask(ComplexRow(capture.begin() + first, capture.begin() + end), 44e6);
  const rx::CaptureSpan span{capture, 0};
  const auto sums = span.sums(static_cast<std::size_t>(first), static_cast<std::size_t>(end));
  for (const rx::TransmitterCheck& c : rx::checkTransmitter(span, 44e6, frames.front(), carrier, mask, sums)) {
    if (c.name == name) return c;
  }
  ADD_FAILURE() << "no check " << name;
  return {};
}

TEST(TransmitterChecks, RampsCarrierAndCentreFrequencyAgainstTheirLimits) {
  FrameCase frameCase{2, 0, 2, 4};
  phy::FrameSettings settings = settingsOf(frameCase);
  settings.rampLength = 88;  // 2 us, linear: 10 % to 90 % of the power in 0.63 x 2 us
  settings.idleSamples = 400;
  const ComplexRow quick = phy::generateFrame(psduOf(50), settings).waveform;
  const rx::TransmitterCheck on = checkOf(quick, "power-on ramp"), off = checkOf(quick, "power-down ramp");
  ASSERT_TRUE(on.value && off.value);
  EXPECT_NEAR(*on.value, 1.26, 0.3);
  EXPECT_NEAR(*off.value, 1.26, 0.3);
  EXPECT_TRUE(on.passed() && off.passed());
  settings.rampLength = 440;  // 10 us
  const ComplexRow slow = phy::generateFrame(psduOf(50), settings).waveform;
  EXPECT_NEAR(*checkOf(slow, "power-on ramp").value, 6.3, 0.5);
  EXPECT_FALSE(checkOf(slow, "power-down ramp").passed());
  // Frames close behind each other: each ramp is measured in the idle between them, not on the neighbour.
  ComplexRow sequence = slow;
  sequence.insert(sequence.end(), quick.begin(), quick.end());
  const rx::Verification both = rx::verifyCapture(sequence, 44e6, std::nullopt);
  ASSERT_EQ(both.checks.size(), 2U);
  for (std::size_t k = 0; k < 2; ++k) {
    for (const rx::TransmitterCheck& c : both.checks[k]) {
      if (c.name.find("ramp") != std::string::npos) {
        EXPECT_NEAR(c.value.value_or(0), k == 0 ? 6.3 : 1.26, 0.5) << c.name << " of frame " << k;
      }
    }
  }

  const rx::TransmitterCheck clean = checkOf(quick, "RF carrier suppression");
  EXPECT_TRUE(clean.passed()) << *clean.value;
  ComplexRow leaking = quick;
  for (Complex& x : leaking) x += Complex(0.05, 0.05);
  const rx::TransmitterCheck leak = checkOf(leaking, "RF carrier suppression");
  ASSERT_TRUE(leak.value);
  EXPECT_FALSE(leak.passed()) << *leak.value;

  // 80 kHz off at 2.412 GHz is 33 ppm; without the carrier the check is not measured.
  ComplexRow offset = quick;
  for (std::size_t n = 0; n < offset.size(); ++n) offset[n] *= std::polar(1.0, 2 * std::numbers::pi * 80e3 * n / 44e6);
  const rx::TransmitterCheck centre = checkOf(offset, "centre frequency", 2.412e9);
  ASSERT_TRUE(centre.value);
  EXPECT_NEAR(*centre.value, 33.2, 1);
  EXPECT_FALSE(centre.passed());
  EXPECT_FALSE(checkOf(offset, "centre frequency").value);
}

TEST(ReceivedFrames, AFlippedPsduBitFailsTheFcsAndAFlippedHeaderSymbolTheCrc) {
  FrameCase frameCase{1, 0, 0, 4};
  phy::FrameSettings settings = settingsOf(frameCase);
  settings.rampType = 0;
  Bits psdu = psduOf(20);
  psdu[100] ^= 1;  // after the FCS was computed
  const ComplexRow damagedPsdu = phy::generateFrame(psdu, settings).waveform;
  auto frames = rx::receiveFrames(damagedPsdu, 44e6);
  ASSERT_EQ(frames.size(), 1U);
  EXPECT_TRUE(frames.front().header.crcOk);
  EXPECT_TRUE(frames.front().psdu == psdu);
  EXPECT_FALSE(frames.front().fcsOk);

  // Header symbol 20 negated: the steps into and out of it flip two header bits.
  ComplexRow damagedHeader = phy::generateFrame(psduOf(20), settings).waveform;
  const std::size_t symbolSamples = 11 * 4, first = (144 + 20) * symbolSamples;
  for (std::size_t n = first; n < first + symbolSamples; ++n) damagedHeader[n] = -damagedHeader[n];
  frames = rx::receiveFrames(damagedHeader, 44e6);
  ASSERT_EQ(frames.size(), 1U);
  EXPECT_FALSE(frames.front().header.crcOk);
  EXPECT_TRUE(frames.front().psdu.empty());
  EXPECT_FALSE(frames.front().fcsOk);
}

}  // namespace
}  // namespace dot11b::test
