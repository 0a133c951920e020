// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/cck.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <stdexcept>

#include "test_support.h"

namespace dot11b::test {
namespace {

using phy::cck;
using phy::cckCodeword;
using phy::cckDqpsk;

constexpr double pi = std::numbers::pi;
const Complex j(0, 1);

struct CckCase {
  const char* name;
  double rate;
  const char* bits;
  Complex phase;
  ComplexRow chips;

  // Test names in listings.
  friend void PrintTo(const CckCase& c, std::ostream* os) { *os << c.name; }
};

class CckKnownVectors : public ::testing::TestWithParam<CckCase> {};

TEST_P(CckKnownVectors, GiveTheExpectedChips) {
  const CckCase& c = GetParam();
  expectRowNear(cck(bitsFromText(c.bits), c.rate, c.phase), c.chips, 1e-12);
}

const Complex d = kStartPhase;
INSTANTIATE_TEST_SUITE_P(
    Cck, CckKnownVectors,
    ::testing::Values(CckCase{"Rate11Zeros", 11, "00000000", 1, {1, 1, 1, -1, 1, 1, -1, 1}},
                      CckCase{"Rate5_5Zeros", 5.5, "0000", 1, {j, 1, j, -1, j, 1, -j, 1}},
                      CckCase{"DiagonalReference", 11, "00000000", d, {d, d, d, -d, d, d, -d, d}},
                      // The second symbol carries the extra pi.
                      CckCase{"SecondSymbolNegated",
                              11,
                              "00000000 00000000",
                              1,
                              {1, 1, 1, -1, 1, 1, -1, 1, -1, -1, -1, 1, -1, -1, 1, -1}},
                      // Only the angle of the reference counts.
                      CckCase{"ReferenceMagnitudeIgnored", 11, "00000000", 2.0 * j, {j, j, j, -j, j, j, -j, j}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Cck, ChipCountsOfSixteenOctets) {
  const Bits bits = randomBits(128, 7);
  EXPECT_EQ(cck(bits, 11, 1).size(), 128U);   // 16 symbols
  EXPECT_EQ(cck(bits, 5.5, 1).size(), 256U);  // 32 symbols
}

TEST(CckDqpsk, DibitPhaseChanges) {
  struct Dibit {
    uint8_t d0, d1;
    double change;
  };
  for (const Dibit& dibit : {Dibit{0, 0, 0}, Dibit{0, 1, pi / 2}, Dibit{1, 1, pi}, Dibit{1, 0, -pi / 2}}) {
    const RealRow phi1 = cckDqpsk({dibit.d0}, {dibit.d1}, 0.25);
    ASSERT_EQ(phi1.size(), 1U);
    EXPECT_NEAR(phi1[0], 0.25 + dibit.change, 1e-15);
  }
}

TEST(CckCodeword, ChipOrderFollowsThePhaseSums) {
  const double p1 = 0.1, p2 = 0.7, p3 = 1.9, p4 = -2.3;
  const auto e = [](double a) { return std::polar(1.0, a); };
  const auto word = cckCodeword(p1, p2, p3, p4);
  const ComplexRow expected = {e(p1 + p2 + p3 + p4), e(p1 + p3 + p4), e(p1 + p2 + p4), -e(p1 + p4),
                               e(p1 + p2 + p3),      e(p1 + p3),      -e(p1 + p2),     e(p1)};
  expectRowNear(ComplexRow(word.begin(), word.end()), expected, 1e-15);
}

// Receiver for the round trip: chip 8 is e(phi1), chip 7 -e(phi1 + phi2), chip 6 e(phi1 + phi3),
// chip 4 -e(phi1 + phi4), and phi1 advances by the dibit change plus pi on every second symbol.
Bits demodulateCck(const ComplexRow& chips, double rate, Complex reference) {
  const auto quarterTurns = [](Complex z) {
    return static_cast<int>(std::lround(std::arg(z) / (pi / 2))) & 3;  // 0..3
  };
  Bits bits;
  Complex previous = std::polar(1.0, std::arg(reference));
  for (std::size_t s = 0; s < chips.size() / 8; ++s) {
    const Complex* c = &chips[8 * s];
    const Complex phi1 = c[7];
    const int change = quarterTurns(phi1 * std::conj(previous)) - (s % 2 == 1 ? 2 : 0);
    static const uint8_t dibit[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};  // 0, pi/2, pi, 3pi/2
    const auto* dq = dibit[(change + 4) & 3];
    bits.insert(bits.end(), {dq[0], dq[1]});
    const int phi2 = quarterTurns(-c[6] * std::conj(phi1));
    const int phi3 = quarterTurns(c[5] * std::conj(phi1));
    const int phi4 = quarterTurns(-c[3] * std::conj(phi1));
    if (rate == 11) {
      for (int q : {phi2, phi3, phi4}) bits.insert(bits.end(), {uint8_t(q >> 1), uint8_t(q & 1)});
    } else {
      EXPECT_EQ(phi2 & 1, 1);  // pi/2 + pi * d2
      EXPECT_EQ(phi3, 0);
      bits.insert(bits.end(), {uint8_t(phi2 >> 1), uint8_t(phi4 >> 1)});
    }
    previous = phi1;
  }
  return bits;
}

TEST(Cck, RoundTripThroughAReceiver) {
  for (double rate : {5.5, 11.0}) {
    const Bits bits = randomBits(8 * 64, rate == 11 ? 11 : 55);
    const Complex reference = Complex(-0.3, 0.8);
    EXPECT_EQ(demodulateCck(cck(bits, rate, reference), rate, reference), bits) << "rate " << rate;
  }
}

TEST(Cck, RejectsBadInput) {
  EXPECT_THROW(cck(Bits(8, 0), 2, 1), std::invalid_argument);
  EXPECT_THROW(cck(Bits(12, 0), 11, 1), std::invalid_argument);  // not whole 8-bit symbols
  EXPECT_THROW(cck(Bits(6, 0), 5.5, 1), std::invalid_argument);  // not whole 4-bit symbols
  EXPECT_THROW(cckDqpsk({0, 1}, {0}, 0), std::invalid_argument);
  EXPECT_TRUE(cck({}, 11, 1).empty());
}

}  // namespace
}  // namespace dot11b::test
