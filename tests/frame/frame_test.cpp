// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/frame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numeric>
#include <ostream>
#include <stdexcept>
#include <utility>

#include "phy/cck.h"
#include "phy/dpsk.h"
#include "phy/pbcc.h"
#include "phy/plcp.h"
#include "phy/scrambler.h"
#include "test_support.h"

namespace dot11b::test {
namespace {

using phy::Frame;
using phy::FrameSettings;
using phy::generateFrame;

// Rectangular chips, no ramp, no idle interval: the chips can be read back from the samples.
FrameSettings plainSettings(double rate, int preambleType, double oversampling) {
  FrameSettings s;
  s.dataRate = rate;
  s.preambleType = preambleType;
  s.oversamplingRate = oversampling;
  s.filterType = 0;
  s.rampType = 0;
  s.rampLength = 0;
  s.idleSamples = 0;
  return s;
}

std::size_t plcpChips(int preambleType) { return preambleType == 0 ? 2112 : 1056; }

Complex meanOf(const ComplexRow& row, std::size_t count) {
  return std::accumulate(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(count), Complex(0, 0)) /
         static_cast<double>(count);
}

void expectMarkersMatch(const Frame& frame) {
  EXPECT_EQ(frame.marker1.size(), frame.waveform.size());
  EXPECT_EQ(frame.marker2.size(), frame.waveform.size());
  EXPECT_EQ(frame.waveform.size() % 2, 0U);
}

TEST(Frame, EmptyLongPreambleFrameHas4224Samples) {
  const Frame frame = generateFrame({}, plainSettings(1, 0, 2));
  ASSERT_EQ(frame.waveform.size(), 4224U);
  EXPECT_EQ(frame.marker1, Bits(4224, 1));
  EXPECT_EQ(frame.marker2, Bits(4224, 1));
}

struct DsssCase {
  int preambleType;
  double rate;
};

std::ostream& operator<<(std::ostream& out, const DsssCase& c) {
  return out << "preamble " << c.preambleType << ", " << c.rate << " Mbit/s";
}

class DsssFrames : public ::testing::TestWithParam<DsssCase> {};

// Preamble, header and a 1 or 2 Mbit/s PSDU read back symbol by symbol and descrambled.
TEST_P(DsssFrames, ReceiverRecoversPreambleHeaderAndPsdu) {
  const auto [preambleType, rate] = GetParam();
  const Bits psdu = randomBits(80, 17);
  const Frame frame = generateFrame(psdu, plainSettings(rate, preambleType, 3));
  const std::size_t psduChips = rate == 1 ? 11 * 80 : 11 * 40;
  EXPECT_EQ(frame.waveform.size(), 3 * (plcpChips(preambleType) + psduChips));

  const ChipReceiver receiver(frame.waveform, 3, 0);
  Complex reference = kStartPhase;
  Bits scrambled;
  const auto take = [&scrambled](const Bits& bits) {
    scrambled.insert(scrambled.end(), bits.begin(), bits.end());
  };
  if (preambleType == 0) {
    take(receiver.dbpsk(0, 144, reference));
    take(receiver.dbpsk(1584, 48, reference));
  } else {
    take(receiver.dbpsk(0, 72, reference));
    take(receiver.dqpsk(792, 24, reference));
  }
  const std::size_t psduStart = plcpChips(preambleType);
  take(rate == 1 ? receiver.dbpsk(psduStart, 80, reference) : receiver.dqpsk(psduStart, 40, reference));

  Bits expected = phy::plcpPreamble(preambleType);
  const Bits header = phy::plcpHeader(80, rate, 0, 0);
  expected.insert(expected.end(), header.begin(), header.end());
  expected.insert(expected.end(), psdu.begin(), psdu.end());
  EXPECT_EQ(textFromBits(descramble(scrambled, preambleType == 0 ? kLongSeed : kShortSeed)),
            textFromBits(expected));
}

INSTANTIATE_TEST_SUITE_P(Frame, DsssFrames,
                         ::testing::Values(DsssCase{0, 1}, DsssCase{0, 2}, DsssCase{1, 1}, DsssCase{1, 2}));

struct HighRateCase {
  int preambleType;
  double rate;
  int highRateMod;
  int encoderActive;
};

std::ostream& operator<<(std::ostream& out, const HighRateCase& c) {
  return out << "preamble " << c.preambleType << ", " << c.rate << " Mbit/s, mod " << c.highRateMod << ", coder "
             << c.encoderActive;
}

class HighRateFrames : public ::testing::TestWithParam<HighRateCase> {};

// The PSDU chips are those of the CCK or PBCC modulator fed with the scrambled PSDU bits, starting from
// the last header symbol.
TEST_P(HighRateFrames, PsduContinuesFromTheLastHeaderSymbol) {
  const HighRateCase c = GetParam();
  const Bits psdu = randomBits(160, 23);
  FrameSettings settings = plainSettings(c.rate, c.preambleType, 2);
  settings.highRateMod = c.highRateMod;
  settings.encoderActive = c.encoderActive;
  const Frame frame = generateFrame(psdu, settings);

  Bits stream = phy::plcpPreamble(c.preambleType);
  const Bits header = phy::plcpHeader(160, c.rate, c.highRateMod, 0);
  stream.insert(stream.end(), header.begin(), header.end());
  const std::size_t plcpBits = stream.size();
  stream.insert(stream.end(), psdu.begin(), psdu.end());
  stream = phy::dot11bScrambler(1, c.preambleType, stream);
  const Bits scrambledPsdu(stream.begin() + static_cast<std::ptrdiff_t>(plcpBits), stream.end());

  const ChipReceiver receiver(frame.waveform, 2, 0);
  const std::size_t psduStart = plcpChips(c.preambleType);
  const Complex lastHeaderSymbol = receiver.barkerSymbol(psduStart - 11);
  const ComplexRow expected = c.highRateMod == 0
                                  ? phy::cck(scrambledPsdu, c.rate, lastHeaderSymbol)
                                  : phy::pbcc(scrambledPsdu, c.rate, c.encoderActive, lastHeaderSymbol);
  ASSERT_EQ(frame.waveform.size(), 2 * (psduStart + expected.size()));
  for (std::size_t i = 0; i < expected.size(); ++i) {
    ASSERT_NEAR(std::abs(receiver.chip(psduStart + i) - expected[i]), 0.0, 1e-12) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Frame, HighRateFrames,
                         ::testing::Values(HighRateCase{0, 11, 0, 1}, HighRateCase{1, 5.5, 0, 1},
                                           HighRateCase{0, 11, 1, 1}, HighRateCase{1, 11, 1, 0},
                                           HighRateCase{0, 5.5, 1, 1}, HighRateCase{1, 5.5, 1, 0}));

TEST(Frame, UnframedStartsFromTheStartPhaseWithThePreambleTypesSeed) {
  const Bits psdu = randomBits(16, 5);
  for (int preambleType : {0, 1}) {
    FrameSettings settings = plainSettings(2, preambleType, 4);
    settings.generationMode = 0;
    settings.idleSamples = 100;
    settings.rampType = 1;
    settings.rampLength = 8;
    const Frame frame = generateFrame(psdu, settings);
    ASSERT_EQ(frame.waveform.size(), 4U * 88U);  // no ramp, no idle interval
    Complex reference = kStartPhase;
    const Bits received = ChipReceiver(frame.waveform, 4, 0).dqpsk(0, 8, reference);
    EXPECT_EQ(descramble(received, preambleType == 0 ? kLongSeed : kShortSeed), psdu);
    // The ramp setting still marks its samples in marker 1.
    EXPECT_EQ(std::accumulate(frame.marker1.begin(), frame.marker1.end(), 0), 352 - 16);
    EXPECT_EQ(frame.marker1[7], 0);
    EXPECT_EQ(frame.marker1[8], 1);
  }
}

TEST(Frame, RampLengthInChipsRoundsHalvesAwayFromZero) {
  struct RampCase {
    double rampLength;
    std::size_t adjLength;
  };
  for (const RampCase& c : {RampCase{1, 0}, RampCase{2, 1}, RampCase{5, 1}, RampCase{6, 2}, RampCase{44, 11}}) {
    FrameSettings settings = plainSettings(1, 0, 4);
    settings.rampType = 1;
    settings.rampLength = c.rampLength;
    EXPECT_EQ(generateFrame({}, settings).waveform.size(), 4 * (2112 + 2 * c.adjLength)) << c.rampLength;
  }
}

struct RampShapeCase {
  int rampType;
  double rampLength;  // at 2 samples per chip
  RealRow rampUp;     // ramp-up chips divided by the first frame chip
  RealRow rampDown;   // ramp-down chips divided by the last frame chip
};

std::ostream& operator<<(std::ostream& out, const RampShapeCase& c) {
  return out << "ramp type " << c.rampType << ", " << c.rampLength << " samples";
}

class RampShapes : public ::testing::TestWithParam<RampShapeCase> {};

TEST_P(RampShapes, ScaleBarkerChipsByTheMask) {
  const RampShapeCase& c = GetParam();
  FrameSettings settings = plainSettings(1, 0, 2);
  settings.rampType = c.rampType;
  settings.rampLength = c.rampLength;
  const Frame frame = generateFrame(randomBits(8, 3), settings);
  const std::size_t adj = c.rampUp.size();
  const std::size_t frameChips = 2112 + 88;
  ASSERT_EQ(frame.waveform.size(), 2 * (frameChips + 2 * adj));
  const ChipReceiver receiver(frame.waveform, 2, adj);
  const Complex first = receiver.chip(adj), last = receiver.chip(adj + frameChips - 1);
  for (std::size_t k = 0; k < adj; ++k) {
    EXPECT_NEAR(std::abs(receiver.chip(k) - c.rampUp[k] * first), 0.0, 1e-12) << "up " << k;
    EXPECT_NEAR(std::abs(receiver.chip(adj + frameChips + k) - c.rampDown[k] * last), 0.0, 1e-12) << "down " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(Frame, RampShapes,
                         ::testing::Values(RampShapeCase{1, 6, {1.0 / 3, -2.0 / 3, 1}, {1, -2.0 / 3, 1.0 / 3}},
                                           RampShapeCase{2, 4, {0.5, -1}, {1, -0.5}}));

TEST(Frame, RampOfWholeBarkerSequences) {
  FrameSettings settings = plainSettings(1, 0, 2);
  settings.rampType = 1;
  settings.rampLength = 44;  // 22 chips
  const Frame frame = generateFrame({}, settings);
  const ChipReceiver receiver(frame.waveform, 2, 22);
  const Complex first = receiver.chip(22);
  const RealRow& barker = phy::barkerSequence();
  for (std::size_t k = 0; k < 22; ++k) {
    const double mask = static_cast<double>(k + 1) / 22;
    EXPECT_NEAR(std::abs(receiver.chip(k) - barker[k % 11] * mask * first), 0.0, 1e-12) << k;
  }
  EXPECT_NEAR(std::abs(receiver.chip(0)), 1.0 / 22, 1e-12);
  EXPECT_NEAR(std::abs(receiver.chip(21)), 1.0, 1e-12);
}

TEST(Frame, MeanIsZeroForEveryFilter) {
  for (int filterType : {0, 1, 2}) {
    for (double oversampling : {3.0, 4.0}) {
      FrameSettings settings = plainSettings(11, 0, oversampling);
      settings.filterType = filterType;
      settings.filterTaps = 6 * oversampling;
      settings.rampType = 2;
      settings.rampLength = 8 * oversampling;
      settings.idleSamples = 0;
      const Frame frame = generateFrame(randomBits(800, 1), settings);
      EXPECT_NEAR(std::abs(meanOf(frame.waveform, frame.waveform.size())), 0.0, 1e-12)
          << "filter " << filterType << " oversampling " << oversampling;
    }
  }
}

TEST(Frame, PadAndMarkersAlwaysMatchTheWaveform) {
  struct PadCase {
    double idle;
    std::size_t length;
  };
  // 2112 chips at 3 samples per chip: 6336 samples.
  for (const PadCase& c : {PadCase{0, 6336}, PadCase{1, 6338}, PadCase{2, 6338}, PadCase{5, 6342}}) {
    FrameSettings settings = plainSettings(1, 0, 3);
    settings.idleSamples = c.idle;
    const Frame frame = generateFrame({}, settings);
    ASSERT_EQ(frame.waveform.size(), c.length) << c.idle;
    expectMarkersMatch(frame);
    for (std::size_t i = 6336; i < c.length; ++i) {
      EXPECT_EQ(frame.waveform[i], Complex(0, 0));
      EXPECT_EQ(frame.marker1[i], 0);
      EXPECT_EQ(frame.marker2[i], 0);
    }
  }
}

TEST(Frame, MarkerRows) {
  FrameSettings settings = plainSettings(1, 0, 4);
  settings.rampType = 1;
  settings.rampLength = 8;  // 2 chips
  settings.idleSamples = 10;
  const Frame frame = generateFrame({}, settings);
  const std::size_t frameSamples = 4 * (2112 + 4);
  ASSERT_EQ(frame.waveform.size(), frameSamples + 10);
  for (std::size_t i = 0; i < frame.waveform.size(); ++i) {
    EXPECT_EQ(frame.marker1[i], (i >= 8 && i < frameSamples - 8) ? 1 : 0) << i;
    EXPECT_EQ(frame.marker2[i], i < frameSamples ? 1 : 0) << i;
  }
}

TEST(Frame, RampSettingLongerThanHalfTheFrameKeepsTheMarkersInLength) {
  FrameSettings settings = plainSettings(1, 0, 2);
  settings.generationMode = 0;
  settings.rampType = 1;
  settings.rampLength = 1000;
  const Frame frame = generateFrame(randomBits(8, 2), settings);
  ASSERT_EQ(frame.waveform.size(), 176U);
  expectMarkersMatch(frame);
  EXPECT_EQ(frame.marker1, Bits(176, 0));
  EXPECT_EQ(frame.marker2, Bits(176, 1));
}

TEST(Frame, MirrorIsTheExactConjugate) {
  FrameSettings settings = plainSettings(11, 1, 4);
  settings.filterType = 1;
  settings.filterTaps = 24;
  settings.rampType = 1;
  settings.rampLength = 88;
  settings.idleSamples = 101;
  const Bits psdu = randomBits(400, 8);
  const Frame plain = generateFrame(psdu, settings);
  settings.mirrorSpectrum = true;
  const Frame mirrored = generateFrame(psdu, settings);
  ASSERT_EQ(mirrored.waveform.size(), plain.waveform.size());
  for (std::size_t i = 0; i < plain.waveform.size(); ++i)
    ASSERT_EQ(mirrored.waveform[i], std::conj(plain.waveform[i]));
  EXPECT_EQ(mirrored.marker1, plain.marker1);
  EXPECT_EQ(mirrored.marker2, plain.marker2);
}

TEST(Frame, HalfIntegerOversamplingKeepsEverySecondSampleOfTheDoubledRate) {
  FrameSettings settings = plainSettings(1, 0, 2.5);
  settings.filterType = 2;
  settings.filterTaps = 30;
  const Bits psdu = {1};  // 11 chips: K = 2123 is odd
  const Frame half = generateFrame(psdu, settings);
  ASSERT_EQ(half.waveform.size(), 5308U);  // ceil(5 * 2123 / 2)
  settings.oversamplingRate = 5;
  const Frame doubled = generateFrame(psdu, settings);
  ASSERT_EQ(doubled.waveform.size(), 5U * 2123U + 1U);
  for (std::size_t i = 0; i < half.waveform.size(); ++i) ASSERT_EQ(half.waveform[i], doubled.waveform[2 * i]) << i;
}

TEST(Frame, FilterLongerThanTheFrameFoldsOntoIt) {
  FrameSettings settings = plainSettings(1, 0, 2);
  settings.generationMode = 0;
  settings.filterType = 2;
  settings.filterTaps = 2000;
  const Frame frame = generateFrame(randomBits(8, 4), settings);
  ASSERT_EQ(frame.waveform.size(), 176U);
  for (const Complex& sample : frame.waveform)
    ASSERT_TRUE(std::isfinite(sample.real()) && std::isfinite(sample.imag()));
  EXPECT_NEAR(std::abs(meanOf(frame.waveform, 176)), 0.0, 1e-12);
}

TEST(Frame, ThreadedAndSingleThreadFramesAreIdentical) {
  // Long enough to be filtered on every core by default, with both filter forms: summed (Gaussian over 6
  // chips) and transformed (root raised cosine over 100 chips).
  FrameSettings settings = plainSettings(1, 0, 9);
  settings.rampType = 1;
  settings.rampLength = 9900;
  settings.idleSamples = 990;
  const Bits psdu = randomBits(8 * 400, 21);
  for (const auto& [type, taps] : {std::pair{1, 6 * 9}, std::pair{2, 100 * 9}}) {
    settings.filterType = type;
    settings.filterTaps = taps;
    const Frame single = generateFrame(psdu, settings, 1);
    ASSERT_GT(single.waveform.size(), 1U << 18);
    for (unsigned threads : {0u, 2u, 5u}) {
      const Frame threaded = generateFrame(psdu, settings, threads);
      EXPECT_TRUE(threaded.waveform == single.waveform) << "filter " << type << ", " << threads << " threads";
    }
  }
}

TEST(Frame, EmptyUnframedPsduGivesAnEmptyWaveform) {
  FrameSettings settings = plainSettings(11, 0, 4);
  settings.generationMode = 0;
  const Frame frame = generateFrame({}, settings);
  EXPECT_TRUE(frame.waveform.empty());
  EXPECT_TRUE(frame.marker1.empty());
  EXPECT_TRUE(frame.marker2.empty());
}

TEST(Frame, RejectsBadSettings) {
  struct BadSetting {
    const char* what;
    std::function<void(FrameSettings&)> change;
  };
  const std::vector<BadSetting> cases = {
      {"rate 3", [](FrameSettings& s) { s.dataRate = 3; }},
      {"highRateMod 2", [](FrameSettings& s) { s.highRateMod = 2; }},
      {"preambleType 2", [](FrameSettings& s) { s.preambleType = 2; }},
      {"locked -1", [](FrameSettings& s) { s.locked = -1; }},
      {"scramblerActive 3", [](FrameSettings& s) { s.scramblerActive = 3; }},
      {"encoderActive 2", [](FrameSettings& s) { s.encoderActive = 2; }},
      {"generationMode 2", [](FrameSettings& s) { s.generationMode = 2; }},
      {"rampType 3", [](FrameSettings& s) { s.rampType = 3; }},
      {"filterType 3", [](FrameSettings& s) { s.filterType = 3; }},
      {"idleSamples -1", [](FrameSettings& s) { s.idleSamples = -1; }},
      {"idleSamples 1.5", [](FrameSettings& s) { s.idleSamples = 1.5; }},
      {"idleSamples 1e12", [](FrameSettings& s) { s.idleSamples = 1e12; }},
      {"rampLength -2", [](FrameSettings& s) { s.rampLength = -2; }},
      {"oversampling 2.3", [](FrameSettings& s) { s.oversamplingRate = 2.3; }},
      {"oversampling 0.5", [](FrameSettings& s) { s.oversamplingRate = 0.5; }},
      {"oversampling NaN", [](FrameSettings& s) { s.oversamplingRate = NAN; }},
      // Refused before the ramp chips are built: they alone would need tens of gigabytes.
      {"ramp of 2^31 - 1 chips",
       [](FrameSettings& s) {
         s.rampType = 1;
         s.rampLength = 2147483647;
         s.oversamplingRate = 1;
       }},
      {"Gaussian with 0 taps",
       [](FrameSettings& s) {
         s.filterType = 1;
         s.filterTaps = 0;
       }},
      {"root cosine with 12.5 taps",
       [](FrameSettings& s) {
         s.filterType = 2;
         s.filterTaps = 12.5;
       }},
  };
  for (const BadSetting& c : cases) {
    FrameSettings settings = plainSettings(11, 0, 4);
    c.change(settings);
    EXPECT_THROW(generateFrame(Bits(8, 0), settings), std::invalid_argument) << c.what;
  }
  // Bits other than 0 and 1, a CCK PSDU of part of a symbol, a PSDU too long for the LENGTH field.
  EXPECT_THROW(generateFrame({0, 2, 0, 0, 0, 0, 0, 0}, plainSettings(11, 0, 4)), std::invalid_argument);
  EXPECT_THROW(generateFrame(Bits(4, 0), plainSettings(11, 0, 4)), std::invalid_argument);
  EXPECT_THROW(generateFrame(Bits(8 * 8192, 0), plainSettings(1, 0, 2)), std::invalid_argument);
}

}  // namespace
}  // namespace dot11b::test
