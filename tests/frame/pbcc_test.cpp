// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/pbcc.h"

#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>

#include "test_support.h"

namespace dot11b::test {
namespace {

using phy::convolEncoder;
using phy::pbcc;
using phy::pbccCoverBits;

const Complex j(0, 1);

struct EncoderCase {
  const char* input;
  const char* coded;
};

std::ostream& operator<<(std::ostream& out, const EncoderCase& c) { return out << "input \"" << c.input << "\""; }

class ConvolEncoderKnownVectors : public ::testing::TestWithParam<EncoderCase> {};

TEST_P(ConvolEncoderKnownVectors, Encode) {
  EXPECT_EQ(textFromBits(convolEncoder(bitsFromText(GetParam().input), 7, 133, 175)),
            textFromBits(bitsFromText(GetParam().coded)));
}

INSTANTIATE_TEST_SUITE_P(Pbcc, ConvolEncoderKnownVectors,
                         ::testing::Values(EncoderCase{"10000000", "1101111101101100"},
                                           EncoderCase{"1100", "11101000"}, EncoderCase{"", ""}));

TEST(ConvolEncoder, IsLinearOverGf2) {
  const Bits a = randomBits(300, 1);
  const Bits b = randomBits(300, 2);
  Bits sum(a.size());
  for (std::size_t i = 0; i < a.size(); ++i) sum[i] = a[i] ^ b[i];
  const Bits codedA = convolEncoder(a, 7, 133, 175);
  const Bits codedB = convolEncoder(b, 7, 133, 175);
  const Bits codedSum = convolEncoder(sum, 7, 133, 175);
  for (std::size_t i = 0; i < codedSum.size(); ++i) ASSERT_EQ(codedSum[i], codedA[i] ^ codedB[i]) << i;
}

TEST(ConvolEncoder, RejectsBadGenerators) {
  EXPECT_THROW(convolEncoder({1}, 0, 1, 1), std::invalid_argument);
  EXPECT_THROW(convolEncoder({1}, 7, 138, 175), std::invalid_argument);  // 8 is no octal digit
  EXPECT_THROW(convolEncoder({1}, 7, 377, 175), std::invalid_argument);  // 8 bits for k = 7
  EXPECT_THROW(convolEncoder({1}, 7, -1, 175), std::invalid_argument);
}

TEST(PbccCoverBits, FirstRowsAndPeriod) {
  const Bits cover = pbccCoverBits(512);
  EXPECT_EQ(textFromBits(Bits(cover.begin(), cover.begin() + 64)),
            "0011001110001011100111000101100111100010110011000001011001100111");
  EXPECT_EQ(Bits(cover.begin(), cover.begin() + 256), Bits(cover.begin() + 256, cover.end()));
  EXPECT_TRUE(pbccCoverBits(0).empty());
  EXPECT_EQ(pbccCoverBits(5), Bits(cover.begin(), cover.begin() + 5));
}

TEST(Pbcc, Rate5_5CodedZerosFollowTheCover) {
  expectRowNear(pbcc(Bits(8, 0), 5.5, 1, 1), {1, 1, j, j, 1, 1, j, j, j, 1, 1, 1, j, 1, j, j}, 0);
}

TEST(Pbcc, Rate11UncodedQpskMapping) {
  // The first cover bit is 0, so the first symbol is the bare mapping.
  struct Mapping {
    const char* bits;
    Complex symbol;
  };
  for (const Mapping& m : {Mapping{"00", 1}, Mapping{"01", -j}, Mapping{"10", j}, Mapping{"11", -1}}) {
    expectRowNear(pbcc(bitsFromText(m.bits), 11, 0, 1), {m.symbol}, 0);
  }
}

TEST(Pbcc, SymbolCounts) {
  const Bits bits = randomBits(80, 5);
  EXPECT_EQ(pbcc(bits, 5.5, 1, 1).size(), 160U);
  EXPECT_EQ(pbcc(bits, 5.5, 0, 1).size(), 80U);
  EXPECT_EQ(pbcc(bits, 11, 1, 1).size(), 80U);
  EXPECT_EQ(pbcc(bits, 11, 0, 1).size(), 40U);
}

TEST(Pbcc, ReferenceScalesAndTurnsEverySymbol) {
  const Bits bits = randomBits(64, 9);
  const Complex reference(0, 2);
  const ComplexRow unit = pbcc(bits, 11, 1, 1);
  const ComplexRow scaled = pbcc(bits, 11, 1, reference);
  ASSERT_EQ(unit.size(), scaled.size());
  for (std::size_t i = 0; i < unit.size(); ++i) EXPECT_EQ(scaled[i], unit[i] * reference);
}

TEST(Pbcc, UncodedRoundTrip) {
  const Bits bits = randomBits(200, 21);
  const Complex reference = kStartPhase;
  const ComplexRow bpsk = pbcc(bits, 5.5, 0, reference);
  const Bits cover = pbccCoverBits(bpsk.size());
  Bits received;
  for (std::size_t i = 0; i < bpsk.size(); ++i) {
    const Complex data = bpsk[i] / (reference * (cover[i] ? j : Complex(1)));
    received.push_back(data.real() < 0 ? 1 : 0);
  }
  EXPECT_EQ(received, bits);
}

TEST(Pbcc, RejectsBadInput) {
  EXPECT_THROW(pbcc(Bits(8, 0), 2, 1, 1), std::invalid_argument);
  EXPECT_THROW(pbcc(Bits(3, 0), 11, 0, 1), std::invalid_argument);  // odd count to map as QPSK
  EXPECT_THROW(pbcc(Bits(8, 0), 11, 2, 1), std::invalid_argument);
}

}  // namespace
}  // namespace dot11b::test
