// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/crc.h"
#include "phy/scrambler.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>

#include "bit_test_util.h"

namespace dot11b::phy {
namespace {

using test::bitsOf;
using test::slice;

constexpr std::array<uint8_t, 7> kLongSeed = {1, 1, 0, 1, 1, 0, 0};
constexpr std::array<uint8_t, 7> kShortSeed = {0, 0, 1, 1, 0, 1, 1};

// Receiver side of IEEE 802.11b-1999 18.2.4: x = y ^ y(-4) ^ y(-7), the register preset like the scrambler.
Bits descramble(const Bits& y, const std::array<uint8_t, 7>& initState) {
  auto delayed = [&](std::size_t i, std::size_t j) -> uint8_t {
    return i >= j ? y[i - j] : initState[j - i - 1];
  };
  Bits x(y.size());
  for (std::size_t i = 0; i < y.size(); ++i) x[i] = y[i] ^ delayed(i, 4) ^ delayed(i, 7);
  return x;
}

Bits randomBits(std::mt19937& rng, std::size_t count) {
  std::bernoulli_distribution coin(0.5);
  Bits bits(count);
  for (auto& b : bits) b = coin(rng) ? 1 : 0;
  return bits;
}

// Bits of octets, each octet least significant bit first.
Bits octetBits(const std::string& octets) {
  Bits bits;
  for (const unsigned char octet : octets) {
    for (int i = 0; i < 8; ++i) bits.push_back((octet >> i) & 1U);
  }
  return bits;
}

// 32 bits read with the first bit as the least significant.
std::uint32_t lsbFirstValue(const Bits& bits) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < bits.size(); ++i) value |= std::uint32_t{bits[i]} << i;
  return value;
}

// Reflected CRC-32 (polynomial EDB88320, preset and final inversion), octet-wise reference.
std::uint32_t referenceCrc32(const std::string& octets) {
  std::uint32_t crc = 0xFFFFFFFFU;
  for (const unsigned char octet : octets) {
    crc ^= octet;
    for (int i = 0; i < 8; ++i) crc = (crc >> 1) ^ ((crc & 1U) ? 0xEDB88320U : 0U);
  }
  return ~crc;
}

TEST(Dot11bScrambler, LongSeedTurnsSyncOnesIntoTheStandardPattern) {
  const Bits out = dot11bScrambler(1, 0, Bits(128, 1));
  ASSERT_EQ(out.size(), 128u);
  EXPECT_EQ(slice(out, 0, 32), bitsOf("0111 1110 1110 1100 1110 1000 1010 0100"));
}

TEST(Dot11bScrambler, ShortSeedTurnsSyncZerosIntoTheStandardPattern) {
  const Bits out = dot11bScrambler(1, 1, Bits(56, 0));
  ASSERT_EQ(out.size(), 56u);
  EXPECT_EQ(slice(out, 0, 32), bitsOf("0001 1001 1010 1001 1100 1111 0110 1000"));
}

TEST(Dot11bScrambler, OffReturnsTheFrame) {
  std::mt19937 rng(1);
  const Bits frame = randomBits(rng, 300);
  EXPECT_EQ(dot11bScrambler(0, 0, frame), frame);
  EXPECT_EQ(dot11bScrambler(0, 1, frame), frame);
}

TEST(Dot11bScrambler, PreambleOnlyScramblesExactlyThePreambleBits) {
  std::mt19937 rng(2);
  const Bits frame = randomBits(rng, 400);
  for (const auto& [preambleType, preambleSize] : {std::pair{0, 144}, std::pair{1, 72}}) {
    const Bits whole = dot11bScrambler(1, preambleType, frame);
    const Bits partial = dot11bScrambler(2, preambleType, frame);
    ASSERT_EQ(partial.size(), frame.size());
    EXPECT_EQ(slice(partial, 0, preambleSize), slice(whole, 0, preambleSize));
    EXPECT_EQ(slice(partial, preambleSize, frame.size() - preambleSize),
              slice(frame, preambleSize, frame.size() - preambleSize));
  }
}

TEST(Dot11bScrambler, PreambleOnlyScramblesAShortFrameWhole) {
  std::mt19937 rng(3);
  for (const std::size_t length : {0u, 1u, 71u, 143u}) {
    const Bits frame = randomBits(rng, length);
    EXPECT_EQ(dot11bScrambler(2, 0, frame), dot11bScrambler(1, 0, frame)) << length << " bits";
  }
}

TEST(Dot11bScrambler, DescramblingWithTheSameSeedGivesTheInput) {
  std::mt19937 rng(4);
  for (int trial = 0; trial < 50; ++trial) {
    const Bits input = randomBits(rng, 1 + rng() % 2000);
    EXPECT_EQ(descramble(dot11bScrambler(1, 0, input), kLongSeed), input);
    EXPECT_EQ(descramble(dot11bScrambler(1, 1, input), kShortSeed), input);
  }
}

TEST(Dot11bScrambler, RejectsInvalidSettingsAndBits) {
  const Bits frame(10, 0);
  EXPECT_THROW(dot11bScrambler(3, 0, frame), std::invalid_argument);
  EXPECT_THROW(dot11bScrambler(-1, 0, frame), std::invalid_argument);
  EXPECT_THROW(dot11bScrambler(1, 2, frame), std::invalid_argument);
  for (const int mode : {0, 1, 2}) {
    EXPECT_THROW(dot11bScrambler(mode, 0, Bits{0, 1, 2}), std::invalid_argument) << "mode " << mode;
  }
}

TEST(Scrambler741, FollowsTheRegisterDefinition) {
  // From an all-zero register the output is the input until the first feedback arrives four bits later.
  EXPECT_EQ(scrambler741(bitsOf("1000 0000 000"), {0, 0, 0, 0, 0, 0, 0}), bitsOf("1000 1001 100"));
  EXPECT_TRUE(scrambler741({}, kLongSeed).empty());
}

TEST(Lfsr, GivesTheDocumentedSequence) {
  EXPECT_EQ(lfsr(3, bitsOf("101"), 10, bitsOf("100")), bitsOf("1001110100"));
}

TEST(Lfsr, ShortRequestGivesTheSeed) {
  EXPECT_EQ(lfsr(4, bitsOf("1001"), 2, bitsOf("1011")), bitsOf("1011"));
  // Taps beyond the order are not used.
  EXPECT_EQ(lfsr(3, bitsOf("1011111"), 10, bitsOf("100")), bitsOf("1001110100"));
}

TEST(Lfsr, RejectsInconsistentArguments) {
  EXPECT_THROW(lfsr(0, {}, 5, {}), std::invalid_argument);
  EXPECT_THROW(lfsr(3, bitsOf("10"), 5, bitsOf("100")), std::invalid_argument);
  EXPECT_THROW(lfsr(3, bitsOf("101"), 5, bitsOf("10")), std::invalid_argument);
  EXPECT_THROW(lfsr(3, Bits{1, 0, 3}, 5, bitsOf("100")), std::invalid_argument);
}

TEST(Crc32, CheckValueOf123456789) {
  const Bits crc = crc32(octetBits("123456789"));
  ASSERT_EQ(crc.size(), 32u);
  EXPECT_EQ(lsbFirstValue(crc), 0xCBF43926U);
}

TEST(Crc32, EmptyInputGivesTheInvertedPreset) { EXPECT_EQ(crc32({}), Bits(32, 0)); }

TEST(Crc32, MatchesTheOctetWiseReflectedCrc) {
  std::mt19937 rng(5);
  for (int trial = 0; trial < 40; ++trial) {
    std::string octets(rng() % 300, '\0');
    for (auto& c : octets) c = static_cast<char>(rng() & 0xFF);
    EXPECT_EQ(lsbFirstValue(crc32(octetBits(octets))), referenceCrc32(octets));
  }
}

// Any number of bits, not only whole octets: the bit-serial register with the generator 04C11DB7, preset to
// ones, its remainder inverted.
TEST(Crc32, OfAnyBitCountIsTheInvertedSerialRemainder) {
  const Bits generator = bitsOf("111011011011100010000011001000001");
  std::mt19937 rng(7);
  for (std::size_t size : {1U, 7U, 9U, 61U, 803U}) {
    Bits data(size);
    for (auto& b : data) b = static_cast<uint8_t>(rng() & 1);
    Bits expected = lfsrChecksum(generator, Bits(32, 1), data);
    for (auto& b : expected) b ^= 1;
    EXPECT_EQ(crc32(data), expected) << size << " bits";
  }
}

TEST(LfsrChecksum, RejectsInconsistentArguments) {
  EXPECT_THROW(lfsrChecksum(bitsOf("1"), {}, {}), std::invalid_argument);
  EXPECT_THROW(lfsrChecksum(bitsOf("1101"), bitsOf("11"), {}), std::invalid_argument);
  EXPECT_THROW(lfsrChecksum(bitsOf("1101"), bitsOf("111"), Bits{2}), std::invalid_argument);
}

TEST(LfsrChecksum, IsTheRemainderOfAPolynomialDivision) {
  // Generator x^3 + x + 1, zero preset: the message 1 times x^3 leaves x^3 mod g = x + 1, sent with the
  // x^2 coefficient first.
  EXPECT_EQ(lfsrChecksum(bitsOf("1101"), bitsOf("000"), bitsOf("1")), bitsOf("011"));
}

}  // namespace
}  // namespace dot11b::phy
