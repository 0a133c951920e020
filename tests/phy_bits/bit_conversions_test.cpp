// SPDX-License-Identifier: GPL-3.0-or-later
#include "mac/bit_conversions.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cstdint>
#include <random>
#include <stdexcept>

#include "bit_test_util.h"

namespace dot11b::mac {
namespace {

using test::bitsOf;

struct BitVectorCase {
  std::uint64_t x;
  std::size_t minSize;
  bool leftMsb;
  const char* expected;

  friend void PrintTo(const BitVectorCase& c, std::ostream* os) {
    *os << c.x << ", " << c.minSize << (c.leftMsb ? ", left-msb" : "");
  }
};

class BitVectorExamples : public ::testing::TestWithParam<BitVectorCase> {};

TEST_P(BitVectorExamples, GivesTheDocumentedBits) {
  const auto& c = GetParam();
  EXPECT_EQ(bitVector(c.x, c.minSize, c.leftMsb), bitsOf(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Examples, BitVectorExamples,
                         ::testing::Values(BitVectorCase{6, defaultBitVectorSize(6), false, "011"},
                                           BitVectorCase{6, 8, false, "01100000"},
                                           BitVectorCase{6, 8, true, "00000110"},
                                           BitVectorCase{1, defaultBitVectorSize(1), false, "1"},
                                           BitVectorCase{0, defaultBitVectorSize(0), false, ""},
                                           // A minimum size below the significant bits never cuts them.
                                           BitVectorCase{255, 4, false, "11111111"},
                                           BitVectorCase{4, 0, true, "100"}));

TEST(DefaultBitVectorSize, IsCeilLog2) {
  const std::pair<std::uint64_t, std::size_t> cases[] = {{0, 0}, {1, 0}, {2, 1}, {3, 2},     {4, 2},
                                                         {5, 3}, {8, 3}, {9, 4}, {1023, 10}, {1024, 10}};
  for (const auto& [x, size] : cases) EXPECT_EQ(defaultBitVectorSize(x), size) << "x = " << x;
}

TEST(BitVector, RoundTripsThroughTheBitWeights) {
  std::mt19937_64 rng(7);
  for (int trial = 0; trial < 200; ++trial) {
    const std::uint64_t x = rng() >> (11 + trial % 50);
    const Bits bits = bitVector(x, 16, false);
    std::uint64_t back = 0;
    for (std::size_t i = 0; i < bits.size(); ++i) back |= std::uint64_t{bits[i]} << i;
    EXPECT_EQ(back, x);
    const Bits reversed = bitVector(x, 16, true);
    EXPECT_EQ(Bits(reversed.rbegin(), reversed.rend()), bits);
  }
}

TEST(BitVector, RejectsValuesBeyondExactDoubles) {
  EXPECT_NO_THROW(bitVector((std::uint64_t{1} << 53) - 1, 0, false));
  EXPECT_THROW(bitVector(std::uint64_t{1} << 53, 0, false), std::invalid_argument);
}

TEST(HexString, GivesTheDocumentedText) {
  EXPECT_EQ(hexString(255, 2), "00FF");
  EXPECT_EQ(hexString(0, 1), "00");
  EXPECT_EQ(hexString(4096, 1), "1000");  // a longer text is not cut
  EXPECT_EQ(hexString(0, 0), "0");
  EXPECT_EQ(hexString(0xABCDEF, 3), "ABCDEF");
}

}  // namespace
}  // namespace dot11b::mac
