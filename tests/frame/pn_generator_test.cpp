// SPDX-License-Identifier: GPL-3.0-or-later
#include "mac/pn_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <vector>

#include "test_support.h"

namespace dot11b::test {
namespace {

using mac::PnOptions;

// The positional call PNgenerator(order, length, userInvert, seed, zeroSuppression), scalars only.
Bits pn(std::optional<double> order = {}, std::optional<double> length = {}, std::optional<double> userInvert = {},
        std::optional<RealRow> seed = {}, std::optional<double> zeroSuppression = {}) {
  PnOptions options;
  if (order) options.order = RealRow{*order};
  if (length) options.length = RealRow{*length};
  options.userInvert = userInvert;
  options.seed = std::move(seed);
  options.zeroSuppression = zeroSuppression;
  return mac::pnGenerator(options);
}

bool hasPeriod(const Bits& bits, std::size_t period) {
  for (std::size_t i = period; i < bits.size(); ++i) {
    if (bits[i] != bits[i - period]) return false;
  }
  return true;
}

TEST(PnGenerator, Pn9FirstFortyBits) {
  EXPECT_EQ(textFromBits(pn(9, 40)), textFromBits(bitsFromText("11111111 10000011 11011111 00010111 00110010")));
}

TEST(PnGenerator, Pn15FirstFortyBits) {
  // 15 zeros first (the polynomial x^15 + x^14 + 1 is delivered inverted); the fourth group follows from the
  // recurrence: bit 30 is the complement of (bit 15 xor bit 16) = 1 xor 1.
  EXPECT_EQ(textFromBits(pn(15, 40)), textFromBits(bitsFromText("00000000 00000001 11111111 11111011 11111111")));
}

TEST(PnGenerator, Pn9PeriodAndBalance) {
  const Bits bits = pn(9, 2 * 511);
  EXPECT_TRUE(hasPeriod(bits, 511));
  for (std::size_t divisor : {7, 73}) EXPECT_FALSE(hasPeriod(bits, divisor));
  EXPECT_EQ(std::count(bits.begin(), bits.begin() + 511, 1), 256);
  EXPECT_EQ(pn(9).size(), 511U);  // one period by default
}

TEST(PnGenerator, Pn15Period) {
  const Bits bits = pn(15, 2 * 32767);
  EXPECT_TRUE(hasPeriod(bits, 32767));
  for (std::size_t divisor : {217, 1057, 4681}) EXPECT_FALSE(hasPeriod(bits, divisor));
}

TEST(PnGenerator, UserInversion) {
  const Bits plain = pn(9, 40);
  Bits complement = plain;
  for (auto& b : complement) b ^= 1;
  EXPECT_EQ(pn(9, 40, 1), complement);
  const Bits pn15 = pn(15, 40, 1);
  EXPECT_EQ(std::count(pn15.begin(), pn15.begin() + 15, 1), 15);
  EXPECT_EQ(pn(9, 40, 0.5), plain);  // only exactly 1 inverts
}

TEST(PnGenerator, LengthDefaultsAndClamps) {
  EXPECT_EQ(pn(9, 0), Bits{1});
  EXPECT_EQ(pn(9, -4), Bits{1});
  EXPECT_EQ(pn(9, 5), Bits(5, 1));
  EXPECT_EQ(pn(9, 10.7).size(), 10U);
  PnOptions twoLengths;
  twoLengths.length = RealRow{10, 20};
  EXPECT_EQ(mac::pnGenerator(twoLengths).size(), 511U);
  EXPECT_THROW(pn(9, 1e12), std::invalid_argument);
}

TEST(PnGenerator, OrderDefaultsAndClamps) {
  EXPECT_EQ(pn(), pn(9));
  EXPECT_EQ(pn(2), pn(3));
  EXPECT_EQ(pn(2).size(), 7U);
  EXPECT_EQ(pn(40, 100), pn(31, 100));
  EXPECT_EQ(pn(9.5, 100), pn(9, 100));  // matches no table row
  PnOptions twoOrders;
  twoOrders.order = RealRow{12, 13};
  EXPECT_EQ(mac::pnGenerator(twoOrders), pn(9));
}

TEST(PnGenerator, Seeds) {
  EXPECT_EQ(textFromBits(pn(9, 9, 0, RealRow{5})), "000000001");
  EXPECT_EQ(textFromBits(pn(9, 9, 0, RealRow(9, 0.0))), "000000001");
  EXPECT_EQ(pn(9, 9, 0, RealRow{0}), Bits(9, 1));
  EXPECT_EQ(pn(9, 9, 0, RealRow{1, 0, 1}), Bits(9, 1));                       // shorter than the register
  EXPECT_EQ(textFromBits(pn(4, 6, 0, RealRow{1, 0, 0, 1, 1, 1})), "100100");  // first 4 elements used
}

TEST(PnGenerator, ZeroSuppressionOfOrder20) {
  // The seed 0...01 starts with a run of 19 zeros; its 15th zero is forced to 1.
  const Bits bits = pn(20, 2000, 0, RealRow{1}, 1);
  EXPECT_EQ(textFromBits(Bits(bits.begin(), bits.begin() + 16)), "0000000000000010");
  std::size_t run = 0, longest = 0;
  for (uint8_t b : bits) {
    run = b == 0 ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  EXPECT_LE(longest, 14U);
  // Without suppression the seed's zeros stay.
  const Bits plain = pn(20, 2000, 0, RealRow{1}, 0);
  EXPECT_EQ(std::count(plain.begin(), plain.begin() + 19, 0), 19);
}

struct TableRow {
  int order;
  std::vector<int> taps;
  bool inverted;
};

// Every row of the tap table: each bit after the seed is the XOR of the bits `taps` places back, and
// inverted polynomials deliver their all-ones seed as zeros.
TEST(PnGenerator, EveryTableRowFollowsItsRecurrence) {
  const std::vector<TableRow> table = {
      {3, {3, 1}, false},          {4, {4, 1}, false},          {5, {5, 2}, false},
      {6, {6, 1}, false},          {7, {7, 1}, false},          {8, {8, 4, 3, 2}, false},
      {9, {9, 5}, false},          {10, {10, 3}, false},        {11, {11, 9}, false},
      {12, {12, 6, 4, 1}, false},  {13, {13, 4, 3, 1}, false},  {14, {14, 12, 2, 1}, false},
      {15, {15, 14}, true},        {16, {16, 12, 3, 1}, false}, {17, {17, 3}, false},
      {18, {18, 7}, false},        {19, {19, 5, 2, 1}, false},  {20, {20, 3}, false},
      {21, {21, 2}, false},        {22, {22, 1}, false},        {23, {23, 18}, true},
      {24, {24, 7, 2}, false},     {25, {25, 3}, false},        {26, {26, 6, 2, 1}, false},
      {27, {27, 5, 2, 1}, false},  {28, {28, 3}, false},        {29, {29, 27}, true},
      {30, {30, 23, 2, 1}, false}, {31, {31, 28}, true}};
  for (const TableRow& row : table) {
    Bits bits = pn(row.order, 300);
    ASSERT_EQ(bits.size(), 300U);
    EXPECT_EQ(std::count(bits.begin(), bits.begin() + row.order, row.inverted ? 0 : 1), row.order)
        << "order " << row.order;
    if (row.inverted) {
      for (auto& b : bits) b ^= 1;
    }
    for (std::size_t i = static_cast<std::size_t>(row.order); i < bits.size(); ++i) {
      uint8_t expected = 0;
      for (int t : row.taps) expected ^= bits[i - static_cast<std::size_t>(t)];
      ASSERT_EQ(bits[i], expected) << "order " << row.order << " bit " << i;
    }
  }
}

TEST(PnGenerator, ShortRegistersAreMaximalLength) {
  for (int order = 3; order <= 16; ++order) {
    const std::size_t period = (std::size_t{1} << order) - 1;
    const Bits bits = pn(order, static_cast<double>(2 * period));
    EXPECT_TRUE(hasPeriod(bits, period)) << "order " << order;
    for (std::size_t shorter = 1; shorter < period; ++shorter) {
      if (period % shorter == 0) {
        EXPECT_FALSE(hasPeriod(bits, shorter)) << "order " << order << " " << shorter;
      }
    }
  }
}

}  // namespace
}  // namespace dot11b::test
