#include "rx/receiver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <ostream>
#include <random>
#include <string>

#include "mac/mac_header.h"
#include "mac/payload.h"
#include "phy/frame.h"

namespace dot11b::test {
namespace {

struct FrameCase {
  double rate;
  int preamble;    // 0 long, 1 short
  int filter;      // 0 none, 1 Gaussian, 2 root raised cosine
  double oversampling;
  int scrambler = 1;
};

std::ostream& operator<<(std::ostream& out, const FrameCase& c) {
  return out << c.rate << " Mbit/s, " << (c.preamble ? "short" : "long") << ", filter " << c.filter << ", x"
             << c.oversampling << ", scrambler " << c.scrambler;
}

phy::FrameSettings settingsOf(const FrameCase& c) {
  phy::FrameSettings s;
  s.dataRate = c.rate;
  s.preambleType = c.preamble;
  s.scramblerActive = c.scrambler;
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
  ASSERT_TRUE(got.header.rateMbps());
  EXPECT_EQ(*got.header.rateMbps(), c.rate);
  EXPECT_EQ(got.modulation, c.rate == 1 ? "DBPSK" : c.rate == 2 ? "DQPSK" : "CCK");
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
                      FrameCase{5.5, 0, 2, 2.5}, FrameCase{11, 1, 2, 8}, FrameCase{1, 0, 1, 1}));

}  // namespace
}  // namespace dot11b::test
