// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by the frame-generator tests: bit-text parsing, complex comparisons, a plain CRC-32
// and a receiver for the DSSS (Barker) parts of a rectangular-chip frame.
#pragma once

#include <gtest/gtest.h>

#include <complex>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

#include "phy/types.h"

namespace dot11b::test {

inline const Complex kStartPhase = Complex(1, 1) / std::numbers::sqrt2;

// "0011 0101" -> {0,0,1,1,0,1,0,1}; spaces are ignored.
inline Bits bitsFromText(const std::string& text) {
  Bits bits;
  for (char c : text) {
    if (c == '0' || c == '1') bits.push_back(static_cast<uint8_t>(c - '0'));
  }
  return bits;
}

inline std::string textFromBits(const Bits& bits) {
  std::string text;
  for (uint8_t b : bits) text.push_back(static_cast<char>('0' + b));
  return text;
}

// Deterministic pseudo-random bits for round trips (a 32-bit xorshift).
inline Bits randomBits(std::size_t count, std::uint32_t seed) {
  Bits bits(count);
  std::uint32_t state = seed == 0 ? 1 : seed;
  for (auto& bit : bits) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    bit = static_cast<uint8_t>(state >> 31);
  }
  return bits;
}

inline void expectRowNear(const ComplexRow& actual, const ComplexRow& expected, double tolerance) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < actual.size(); ++i) {
    EXPECT_NEAR(std::abs(actual[i] - expected[i]), 0.0, tolerance) << "at index " << i;
  }
}

// The usual reflected CRC-32 (polynomial EDB88320, preset and final inversion) of whole octets.
inline std::uint32_t referenceCrc32(const std::vector<std::uint8_t>& octets) {
  std::uint32_t crc = 0xFFFFFFFFU;
  for (std::uint8_t octet : octets) {
    crc ^= octet;
    for (int k = 0; k < 8; ++k) crc = (crc & 1U) ? (crc >> 1) ^ 0xEDB88320U : crc >> 1;
  }
  return ~crc;
}

// Octets of a bit row sent least significant bit first.
inline std::vector<std::uint8_t> octetsFromBits(const Bits& bits) {
  std::vector<std::uint8_t> octets(bits.size() / 8, 0);
  for (std::size_t i = 0; i < 8 * octets.size(); ++i) {
    octets[i / 8] = static_cast<std::uint8_t>(octets[i / 8] | (bits[i] << (i % 8)));
  }
  return octets;
}

// Value of bits sent least significant bit first.
inline std::uint64_t valueFromBits(const Bits& bits) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < bits.size(); ++i) value |= static_cast<std::uint64_t>(bits[i]) << i;
  return value;
}

// IEEE 802.11b-1999 18.2.4 descrambler: x = y ^ y(-4) ^ y(-7), register preset like the scrambler's
// (seed[k] is s(k+1), s1 the most recent bit).
inline Bits descramble(const Bits& scrambled, const Bits& seed) {
  Bits history(seed.rbegin(), seed.rend());  // oldest first
  Bits plain(scrambled.size());
  for (std::size_t i = 0; i < scrambled.size(); ++i) {
    const std::size_t n = history.size();
    plain[i] = scrambled[i] ^ history[n - 4] ^ history[n - 7];
    history.push_back(scrambled[i]);
  }
  return plain;
}

inline const Bits kLongSeed = {1, 1, 0, 1, 1, 0, 0};
inline const Bits kShortSeed = {0, 0, 1, 1, 0, 1, 1};

// Receiver for a frame generated with rectangular chips (filter type 0) and a whole oversampling factor.
// Every Barker symbol starts with chips +s, -s, so the DC offset that the generator removed and the
// symbol s follow exactly from the first two chips of a symbol.
class ChipReceiver {
 public:
  // firstChip: index of the first chip of the first Barker symbol (the number of ramp chips).
  ChipReceiver(const ComplexRow& waveform, std::size_t factor, std::size_t firstChip)
      : waveform_(waveform), factor_(factor) {
    offset_ = -(sample(firstChip) + sample(firstChip + 1)) / 2.0;
  }

  // The chip before DC removal.
  Complex chip(std::size_t index) const { return sample(index) + offset_; }

  // The symbol of the Barker-spread symbol that starts at chip `index`.
  Complex barkerSymbol(std::size_t index) const { return (sample(index) - sample(index + 1)) / 2.0; }

  // DBPSK bits of `count` symbols from chip `index`; `reference` is the phasor before the first symbol.
  Bits dbpsk(std::size_t index, std::size_t count, Complex& reference) const {
    Bits bits;
    for (std::size_t k = 0; k < count; ++k) {
      const Complex symbol = barkerSymbol(index + 11 * k);
      bits.push_back((symbol * std::conj(reference)).real() < 0 ? 1 : 0);
      reference = symbol;
    }
    return bits;
  }

  // DQPSK dibits of `count` symbols: phase change 0 -> 00, +pi/2 -> 01, pi -> 11, -pi/2 -> 10.
  Bits dqpsk(std::size_t index, std::size_t count, Complex& reference) const {
    Bits bits;
    for (std::size_t k = 0; k < count; ++k) {
      const Complex symbol = barkerSymbol(index + 11 * k);
      const Complex change = symbol * std::conj(reference);
      const bool first = change.real() < -0.5 || change.imag() < -0.5;
      const bool second = change.real() < -0.5 || change.imag() > 0.5;
      bits.push_back(first ? 1 : 0);
      bits.push_back(second ? 1 : 0);
      reference = symbol;
    }
    return bits;
  }

 private:
  Complex sample(std::size_t chipIndex) const { return waveform_.at(chipIndex * factor_); }

  const ComplexRow& waveform_;
  std::size_t factor_;
  Complex offset_;
};

}  // namespace dot11b::test
