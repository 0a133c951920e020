// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/dpsk.h"

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

const Complex kJ{0, 1};
const Complex kStartPhase = Complex(1, 1) / std::sqrt(2.0);

ComplexRow barkerTimes(Complex symbol) {
  ComplexRow chips;
  for (const double b : barkerSequence()) chips.push_back(b * symbol);
  return chips;
}

Bits randomBits(std::mt19937& rng, std::size_t count) {
  std::bernoulli_distribution coin(0.5);
  Bits bits(count);
  for (auto& b : bits) b = coin(rng) ? 1 : 0;
  return bits;
}

TEST(Barker, IsTheElevenChipSequence) {
  EXPECT_EQ(barkerSequence(), (RealRow{1, -1, 1, 1, -1, 1, 1, 1, -1, -1, -1}));
}

TEST(BarkerSpread, GivesElevenChipsPerSymbolInOrder) {
  const ComplexRow symbols = {1, kJ, -2.0};
  ComplexRow expected = barkerTimes(1);
  for (const Complex s : {kJ, Complex(-2.0)}) {
    const ComplexRow part = barkerTimes(s);
    expected.insert(expected.end(), part.begin(), part.end());
  }
  EXPECT_EQ(barkerSpread(symbols), expected);
  EXPECT_TRUE(barkerSpread({}).empty());
}

TEST(Modulate1Mbps, SingleBitGivesBarkerChipsAndPhase) {
  const Modulated zero = modulate1Mbps(bitsOf("0"), 1);
  EXPECT_EQ(zero.chips, barkerTimes(1));
  EXPECT_EQ(zero.lastPhase, Complex(1));
  const Modulated one = modulate1Mbps(bitsOf("1"), 1);
  EXPECT_EQ(one.chips, barkerTimes(-1));
  EXPECT_EQ(one.lastPhase, Complex(-1));
}

struct SymbolCase {
  bool quaternary;
  const char* bits;
  ComplexRow symbols;

  friend void PrintTo(const SymbolCase& c, std::ostream* os) { *os << (c.quaternary ? "DQPSK " : "DBPSK ") << c.bits; }
};

class DpskExamples : public ::testing::TestWithParam<SymbolCase> {};

TEST_P(DpskExamples, GiveTheDocumentedSymbols) {
  const auto& c = GetParam();
  const Bits bits = bitsOf(c.bits);
  EXPECT_EQ(c.quaternary ? dqpsk(bits, 1) : dbpsk(bits, 1), c.symbols);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, DpskExamples,
    ::testing::Values(
        SymbolCase{false, "111", {-1, 1, -1}}, SymbolCase{false, "0010", {1, 1, -1, -1}},
        SymbolCase{true, "01010101", {kJ, -1, -kJ, 1}}, SymbolCase{true, "1010", {-kJ, -1}},
        // One dibit of each kind from the reference 1: 00 -> 0, 01 -> +pi/2, 11 -> pi, 10 -> -pi/2.
        SymbolCase{true, "00", {1}}, SymbolCase{true, "01", {kJ}}, SymbolCase{true, "11", {-1}},
        SymbolCase{true, "10", {-kJ}}));

TEST(Modulators, ChainingSegmentsEqualsOneCall) {
  std::mt19937 rng(21);
  for (int trial = 0; trial < 20; ++trial) {
    const Bits a = randomBits(rng, 2 * (1 + rng() % 40));
    const Bits b = randomBits(rng, 2 * (1 + rng() % 40));
    for (const auto modulate : {&modulate1Mbps, &modulate2Mbps}) {
      const Modulated first = modulate(a, kStartPhase);
      const Modulated second = modulate(b, first.lastPhase);
      const Modulated whole = modulate(concat(a, b), kStartPhase);
      ComplexRow chained = first.chips;
      chained.insert(chained.end(), second.chips.begin(), second.chips.end());
      EXPECT_EQ(chained, whole.chips);
      EXPECT_EQ(second.lastPhase, whole.lastPhase);
    }
  }
}

TEST(Modulators, StayOnTheDiagonalPointsWithElevenChipsPerSymbol) {
  std::mt19937 rng(22);
  const Bits bits = randomBits(rng, 200);
  const ComplexRow symbols2 = dqpsk(bits, kStartPhase);
  const ComplexRow symbols1 = dbpsk(bits, kStartPhase);
  EXPECT_EQ(modulate2Mbps(bits, kStartPhase).chips.size(), 11 * symbols2.size());
  EXPECT_EQ(modulate1Mbps(bits, kStartPhase).chips.size(), 11 * symbols1.size());
  for (const auto* symbols : {&symbols1, &symbols2}) {
    for (const Complex s : *symbols) {
      EXPECT_NEAR(std::abs(s.real()), 1 / std::sqrt(2.0), 1e-15);
      EXPECT_NEAR(std::abs(s.imag()), 1 / std::sqrt(2.0), 1e-15);
    }
  }
}

TEST(Modulators, KeepTheMagnitudeOfTheReference) {
  for (const Complex s : dqpsk(bitsOf("01101100"), Complex(0, 2))) EXPECT_DOUBLE_EQ(std::abs(s), 2.0);
  for (const Complex s : dbpsk(bitsOf("0110"), Complex(0, 2))) EXPECT_DOUBLE_EQ(std::abs(s), 2.0);
}

TEST(Modulators, RejectEmptyOddOrNonBinaryInput) {
  EXPECT_THROW(dbpsk({}, 1), std::invalid_argument);
  EXPECT_THROW(dqpsk({}, 1), std::invalid_argument);
  EXPECT_THROW(dqpsk(bitsOf("101"), 1), std::invalid_argument);
  EXPECT_THROW(modulate1Mbps({}, 1), std::invalid_argument);
  EXPECT_THROW(modulate2Mbps(bitsOf("1"), 1), std::invalid_argument);
  EXPECT_THROW(dbpsk(Bits{0, 2}, 1), std::invalid_argument);
  EXPECT_THROW(dbpsk(bitsOf("01"), std::numeric_limits<double>::infinity()), std::invalid_argument);
}

}  // namespace
}  // namespace dot11b::phy
