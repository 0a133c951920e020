// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/plcp.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <limits>
#include <random>
#include <stdexcept>

#include "bit_test_util.h"

namespace dot11b::phy {
namespace {

using test::bitsOf;
using test::concat;
using test::slice;

constexpr std::size_t kServiceStart = 8;
constexpr std::size_t kModBit = kServiceStart + 3;
constexpr std::size_t kLengthStart = 16;
constexpr std::size_t kCrcStart = 32;

unsigned lengthValue(const Bits& bits) {
  unsigned value = 0;
  for (std::size_t i = 0; i < bits.size(); ++i) value |= unsigned{bits[i]} << i;
  return value;
}

// Bitwise CRC-CCITT: polynomial 1021, preset FFFF, highest-order bit first, result inverted.
Bits referenceCrc16(const Bits& bits) {
  unsigned crc = 0xFFFF;
  for (const uint8_t b : bits) {
    const unsigned feedback = ((crc >> 15) & 1U) ^ b;
    crc = ((crc << 1) & 0xFFFF) ^ (feedback ? 0x1021U : 0U);
  }
  crc ^= 0xFFFF;
  Bits out;
  for (int i = 15; i >= 0; --i) out.push_back((crc >> i) & 1U);
  return out;
}

TEST(PlcpPreamble, LongIsSyncOnesThenSfd) {
  EXPECT_EQ(plcpPreamble(0), concat(Bits(128, 1), bitsOf("0000 0101 1100 1111")));
}

TEST(PlcpPreamble, ShortIsSyncZerosThenReversedSfd) {
  EXPECT_EQ(plcpPreamble(1), concat(Bits(56, 0), bitsOf("1111 0011 1010 0000")));
}

TEST(PlcpSignal, RateCodes) {
  EXPECT_EQ(plcpSignal(1), bitsOf("01010000"));
  EXPECT_EQ(plcpSignal(2), bitsOf("00101000"));
  EXPECT_EQ(plcpSignal(5.5), bitsOf("11101100"));
  EXPECT_EQ(plcpSignal(11), bitsOf("01110110"));
}

TEST(PlcpService, PlacesTheFlags) {
  EXPECT_EQ(plcpService(1, 0, 0), bitsOf("00100000"));
  EXPECT_EQ(plcpService(0, 1, 1), bitsOf("00010001"));
  EXPECT_THROW(plcpService(2, 0, 0), std::invalid_argument);
  EXPECT_THROW(plcpService(0, -1, 0), std::invalid_argument);
  EXPECT_THROW(plcpService(0, 0, 2), std::invalid_argument);
}

struct LengthCase {
  double bits;
  double rate;
  int mod;
  unsigned length;
  int lenExt;

  friend void PrintTo(const LengthCase& c, std::ostream* os) {
    *os << c.bits << " bits at " << c.rate << " Mbit/s, mod " << c.mod;
  }
};

class PlcpLengthExamples : public ::testing::TestWithParam<LengthCase> {};

TEST_P(PlcpLengthExamples, GiveLengthAndExtension) {
  const auto& c = GetParam();
  const LengthField field = plcpLength(c.bits, c.rate, c.mod);
  ASSERT_EQ(field.bits.size(), 16u);
  EXPECT_EQ(lengthValue(field.bits), c.length);
  EXPECT_EQ(field.lenExt, c.lenExt);
}

INSTANTIATE_TEST_SUITE_P(Examples, PlcpLengthExamples,
                         ::testing::Values(LengthCase{0, 1, 0, 0, 0},      // empty PSDU
                                           LengthCase{800, 11, 0, 73, 0},  // 100 octets CCK
                                           LengthCase{24, 11, 0, 3, 1},    // 3 octets: 0.82 us >= 8/11
                                           LengthCase{80, 11, 0, 8, 1},    // 10 octets: exactly 8/11
                                           LengthCase{168, 11, 0, 16, 1},  // 21 octets: exactly 8/11
                                           LengthCase{80, 11, 1, 8, 0},    // 10 octets PBCC, B = 88
                                           LengthCase{8, 5.5, 0, 2, 0},    // 1 octet
                                           LengthCase{8, 5.5, 1, 3, 0},    // 1 octet PBCC
                                           LengthCase{16, 2, 0, 8, 0},     // 2 octets
                                           LengthCase{8, 1, 1, 16,
                                                      0},  // the extra PBCC octet is counted as asked
                                           LengthCase{65535, 1, 0, 65535, 0}));

TEST(PlcpLength, RejectsATransmitTimeBeyond16Bits) {
  EXPECT_THROW(plcpLength(65536, 1, 0), std::invalid_argument);
  EXPECT_THROW(plcpLength(65528, 1, 1), std::invalid_argument);
  EXPECT_THROW(plcpLength(1e300, 11, 0), std::invalid_argument);
}

TEST(PlcpLength, RejectsInvalidInputs) {
  EXPECT_THROW(plcpLength(-8, 1, 0), std::invalid_argument);
  EXPECT_THROW(plcpLength(8.5, 1, 0), std::invalid_argument);
  EXPECT_THROW(plcpLength(std::numeric_limits<double>::quiet_NaN(), 1, 0), std::invalid_argument);
  EXPECT_THROW(plcpLength(8, 3, 0), std::invalid_argument);
  EXPECT_THROW(plcpLength(8, 11, 2), std::invalid_argument);
}

TEST(Crc16, MatchesTheBitwiseCcittCrc) {
  std::mt19937 rng(11);
  std::bernoulli_distribution coin(0.5);
  for (int trial = 0; trial < 50; ++trial) {
    Bits bits(rng() % 100);
    for (auto& b : bits) b = coin(rng);
    EXPECT_EQ(crc16(bits), referenceCrc16(bits));
  }
}

TEST(PlcpHeader, OneMbpsEmptyPsdu) {
  const Bits header = plcpHeader(0, 1, 0, 0);
  ASSERT_EQ(header.size(), 48u);
  EXPECT_EQ(slice(header, 0, 32), concat(bitsOf("01010000"), Bits(24, 0)));
  EXPECT_EQ(slice(header, kCrcStart, 16), bitsOf("0000 1110 0000 0100"));
}

TEST(PlcpHeader, ElevenMbpsCckHundredOctetsLocked) {
  const Bits header = plcpHeader(800, 11, 0, 1);
  ASSERT_EQ(header.size(), 48u);
  EXPECT_EQ(slice(header, 0, 8), bitsOf("01110110"));
  EXPECT_EQ(slice(header, kServiceStart, 8), bitsOf("00100000"));
  EXPECT_EQ(lengthValue(slice(header, kLengthStart, 16)), 73u);
  EXPECT_EQ(slice(header, kCrcStart, 16), bitsOf("1110 0110 1001 1100"));
}

TEST(PlcpHeader, ElevenMbpsPbccAnnouncesPbcc) {
  const Bits header = plcpHeader(80, 11, 1, 0);
  EXPECT_EQ(header[kModBit], 1);
  EXPECT_EQ(lengthValue(slice(header, kLengthStart, 16)), 8u);
  EXPECT_EQ(header[kServiceStart + 7], 0);  // lenExt
}

TEST(PlcpHeader, LowRatesNeverAnnouncePbcc) {
  for (const double rate : {1.0, 2.0}) {
    for (const double bits : {0.0, 8.0, 800.0, 18768.0}) {
      const Bits withPbcc = plcpHeader(bits, rate, 1, 1);
      EXPECT_EQ(withPbcc, plcpHeader(bits, rate, 0, 1)) << rate << " Mbit/s, " << bits << " bits";
      EXPECT_EQ(withPbcc[kModBit], 0);
      EXPECT_EQ(lengthValue(slice(withPbcc, kLengthStart, 16)),
                static_cast<unsigned>(std::ceil(bits / rate)));
    }
  }
}

TEST(PlcpHeader, CrcCoversTheFirst32Bits) {
  const Bits header = plcpHeader(1234 * 8, 5.5, 1, 1);
  EXPECT_EQ(slice(header, kCrcStart, 16), referenceCrc16(slice(header, 0, 32)));
}

TEST(PlcpHeader, NeverGrowsBeyond48Bits) {
  EXPECT_EQ(plcpHeader(65535, 1, 0, 0).size(), 48u);
  EXPECT_THROW(plcpHeader(65536, 1, 0, 0), std::invalid_argument);
}

TEST(PlcpHeader, RejectsInvalidInputs) {
  EXPECT_THROW(plcpHeader(8, 5, 0, 0), std::invalid_argument);
  EXPECT_THROW(plcpHeader(8, 11, 2, 0), std::invalid_argument);
  EXPECT_THROW(plcpHeader(8, 11, 0, 3), std::invalid_argument);
  EXPECT_THROW(plcpPreamble(2), std::invalid_argument);
  EXPECT_THROW(plcpPreamble(-1), std::invalid_argument);
  EXPECT_THROW(plcpSignal(6), std::invalid_argument);
}

}  // namespace
}  // namespace dot11b::phy
