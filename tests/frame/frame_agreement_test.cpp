// SPDX-License-Identifier: GPL-3.0-or-later
// The frame generator against the size estimate and against its own PLCP header.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <random>

#include "mac/payload.h"
#include "phy/frame.h"
#include "phy/plcp.h"
#include "phy/size_estimate.h"
#include "test_support.h"

namespace dot11b::test {
namespace {

using phy::FrameSettings;
using phy::generateFrame;

phy::SizeEstimateInput estimateInput(const FrameSettings& s, std::size_t psduBits) {
  phy::SizeEstimateInput in;
  in.generationMode = s.generationMode;
  in.numberOfDataBits = static_cast<double>(psduBits);
  in.dataRate = s.dataRate;
  in.highSpeedMod = s.highRateMod;
  in.encoderActive = s.encoderActive;
  in.preambleType = s.preambleType;
  in.idleSamples = s.idleSamples;
  in.rampType = s.rampType;
  in.rampLength = s.rampLength;
  in.overSampling = s.oversamplingRate;
  return in;
}

// Random settings of the kinds the estimate covers exactly: whole oversampling, and a ramp that is
// off, unused (unframed) or a whole number of chips long.
TEST(SizeEstimateAgreement, EqualsTheWaveformLengthOverRandomSettings) {
  std::mt19937 random(20240611);
  const auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  const double rates[] = {1, 2, 5.5, 11};
  for (int trial = 0; trial < 300; ++trial) {
    FrameSettings s;
    s.dataRate = rates[pick(0, 3)];
    s.highRateMod = pick(0, 1);
    s.encoderActive = pick(0, 1);
    s.preambleType = pick(0, 1);
    s.scramblerActive = pick(0, 2);
    s.locked = pick(0, 1);
    s.generationMode = pick(0, 3) == 0 ? 0 : 1;
    s.oversamplingRate = pick(2, 9);
    s.idleSamples = pick(0, 500);
    s.rampType = pick(0, 2);
    const int rampKind = pick(0, 2);
    s.rampLength = rampKind == 0 ? s.oversamplingRate * pick(0, 30) : pick(0, 300);
    if (rampKind != 0 && s.generationMode == 1) s.rampType = 0;
    s.filterType = pick(0, 2);
    s.filterFactor = 0.3;
    s.filterTaps = s.oversamplingRate * pick(1, 8);
    s.mirrorSpectrum = pick(0, 1) == 1;
    const Bits psdu = randomBits(8 * static_cast<std::size_t>(pick(s.generationMode == 0 ? 1 : 0, 120)),
                                 static_cast<std::uint32_t>(trial + 1));
    const phy::Frame frame = generateFrame(psdu, s);
    EXPECT_EQ(static_cast<double>(frame.waveform.size()), phy::sizeEstimate(estimateInput(s, psdu.size())))
        << "trial " << trial << ": rate " << s.dataRate << " mod " << s.highRateMod << " coder " << s.encoderActive
        << " preamble " << s.preambleType << " mode " << s.generationMode << " oversampling " << s.oversamplingRate
        << " idle " << s.idleSamples << " ramp " << s.rampType << "/" << s.rampLength << " octets "
        << psdu.size() / 8;
  }
}

TEST(SizeEstimateAgreement, RampOfPartChipsMayDiffer) {
  FrameSettings s;
  s.dataRate = 1;
  s.oversamplingRate = 4;
  s.filterType = 0;
  s.rampType = 1;
  s.idleSamples = 0;
  s.rampLength = 44;  // 11 chips: both count 88 ramp samples
  EXPECT_EQ(static_cast<double>(generateFrame({}, s).waveform.size()), phy::sizeEstimate(estimateInput(s, 0)));
  s.rampLength = 7;  // the estimate counts 14 ramp samples, the generator 2 * 4 * round(7 / 4) = 16
  EXPECT_EQ(generateFrame({}, s).waveform.size(), 4U * 2112U + 16U);
  EXPECT_EQ(phy::sizeEstimate(estimateInput(s, 0)), 4 * 2112 + 14);
}

struct LengthCase {
  double rate;
  int highRateMod;
  std::size_t octets;
  std::uint64_t length;  // [us]
  uint8_t modBit;
};

std::ostream& operator<<(std::ostream& out, const LengthCase& c) {
  return out << c.rate << " Mbit/s, mod " << c.highRateMod << ", " << c.octets << " octets";
}

class HeaderInTheFrame : public ::testing::TestWithParam<LengthCase> {};

// The header read back from the frame: descrambled, LENGTH is the PSDU's transmit time and the CRC checks.
TEST_P(HeaderInTheFrame, CarriesThePsduTransmitTime) {
  const LengthCase& c = GetParam();
  FrameSettings s;
  s.dataRate = c.rate;
  s.highRateMod = c.highRateMod;
  s.oversamplingRate = 2;
  s.filterType = 0;
  s.rampType = 0;
  s.idleSamples = 0;
  const phy::Frame frame = generateFrame(randomBits(8 * c.octets, 9), s);
  Complex reference = kStartPhase;
  const Bits scrambled = ChipReceiver(frame.waveform, 2, 0).dbpsk(0, 192, reference);
  const Bits plain = descramble(scrambled, kLongSeed);
  const Bits header(plain.begin() + 144, plain.end());
  EXPECT_EQ(valueFromBits(Bits(header.begin() + 16, header.begin() + 32)), c.length);
  EXPECT_EQ(header[8 + 3], c.modBit);
  EXPECT_EQ(phy::crc16(Bits(header.begin(), header.begin() + 32)), Bits(header.begin() + 32, header.end()));
}

INSTANTIATE_TEST_SUITE_P(Frame, HeaderInTheFrame,
                         ::testing::Values(LengthCase{1, 1, 100, 800, 0}, LengthCase{2, 1, 100, 400, 0},
                                           LengthCase{1, 0, 100, 800, 0}, LengthCase{11, 1, 10, 8, 1},
                                           LengthCase{11, 0, 100, 73, 0}, LengthCase{5.5, 1, 1, 3, 1}));

// A receiver that trusts the header: it takes the PSDU length from LENGTH, demodulates that many bits and
// finds the FCS at their end. At 1 and 2 Mbit/s this holds whatever highRateMod says.
TEST(HeaderInTheFrame, PsduLengthFromTheHeaderEndsWithAValidFcs) {
  for (double rate : {1.0, 2.0}) {
    mac::PayloadSettings payload;
    payload.dataSourceType = 5;  // PN9
    payload.dataLength = 100;
    payload.fcsActive = true;
    FrameSettings s;
    s.dataRate = rate;
    s.highRateMod = 1;
    s.oversamplingRate = 2;
    s.filterType = 0;
    s.rampType = 0;
    s.idleSamples = 0;
    const phy::Frame frame = generateFrame(mac::generatePayload(payload), s);

    const ChipReceiver receiver(frame.waveform, 2, 0);
    Complex reference = kStartPhase;
    Bits stream = receiver.dbpsk(0, 192, reference);
    const Bits plcp = descramble(stream, kLongSeed);
    const std::uint64_t lengthUs = valueFromBits(Bits(plcp.begin() + 144 + 16, plcp.begin() + 144 + 32));
    const auto psduBits = static_cast<std::size_t>(static_cast<double>(lengthUs) * rate);
    ASSERT_EQ(psduBits, 8U * 104U) << rate;
    const Bits psduChips = rate == 1 ? receiver.dbpsk(192 * 11, psduBits, reference)
                                     : receiver.dqpsk(192 * 11, psduBits / 2, reference);
    stream.insert(stream.end(), psduChips.begin(), psduChips.end());
    const Bits all = descramble(stream, kLongSeed);
    const Bits psdu(all.begin() + 192, all.end());
    const Bits covered(psdu.begin(), psdu.end() - 32);
    EXPECT_EQ(valueFromBits(Bits(psdu.end() - 32, psdu.end())), referenceCrc32(octetsFromBits(covered))) << rate;
  }
}

}  // namespace
}  // namespace dot11b::test
