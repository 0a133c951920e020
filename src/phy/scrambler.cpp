// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/scrambler.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace dot11b::phy {

namespace {

// Scrambler seeds for the long and the short preamble, s1 first (IEEE 802.11b-1999 18.2.4).
constexpr std::array<uint8_t, 7> kLongSeed = {1, 1, 0, 1, 1, 0, 0};
constexpr std::array<uint8_t, 7> kShortSeed = {0, 0, 1, 1, 0, 1, 1};
constexpr std::size_t kLongPreambleBits = 144;
constexpr std::size_t kShortPreambleBits = 72;

// CRC-32 generator 04C11DB7 as the coefficients of x^0 .. x^32.
const Bits kCrc32Generator = {1, 1, 1, 0, 1, 1, 0, 1, 1, 0, 1, 1, 1, 0, 0, 0, 1,
                              0, 0, 0, 0, 0, 1, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1};

void requireBits(const char* routine, const char* name, const Bits& bits) {
  const auto bad = std::find_if(bits.begin(), bits.end(), [](uint8_t b) { return b > 1; });
  if (bad != bits.end()) {
    throw std::invalid_argument(std::string(routine) + ": " + name + " holds the value " +
                                std::to_string(*bad) + " at bit " + std::to_string(bad - bits.begin() + 1) +
                                "; bits must be 0 or 1");
  }
}

}  // namespace

Bits scrambler741(const Bits& input, const std::array<uint8_t, 7>& initState) {
  requireBits("Scrambler_7bit_741", "input", input);
  requireBits("Scrambler_7bit_741", "initState", Bits(initState.begin(), initState.end()));
  // One row holds the register followed by the outputs: row[p - 1] is s1, row[p - 4] is s4 and row[p - 7]
  // is s7 for the bit written at p, so the register moves by an index instead of shifting.
  constexpr std::size_t kStages = 7;
  Bits row(kStages + input.size());
  std::reverse_copy(initState.begin(), initState.end(), row.begin());
  for (std::size_t i = 0; i < input.size(); ++i) {
    const std::size_t p = kStages + i;
    row[p] = input[i] ^ row[p - 4] ^ row[p - 7];
  }
  return Bits(row.begin() + kStages, row.end());
}

Bits dot11bScrambler(int scrambleActive, int preambleType, const Bits& frame) {
  if (preambleType != 0 && preambleType != 1) {
    throw std::invalid_argument("Dot11b_Scrambler: preambleType must be 0 (long) or 1 (short), got " +
                                std::to_string(preambleType));
  }
  const auto& seed = preambleType == 0 ? kLongSeed : kShortSeed;
  const std::size_t preambleSize = preambleType == 0 ? kLongPreambleBits : kShortPreambleBits;
  switch (scrambleActive) {
    case 0:
      requireBits("Dot11b_Scrambler", "frame", frame);
      return frame;
    case 1:
      return scrambler741(frame, seed);
    case 2: {
      // Only the preamble is scrambled; a shorter frame is scrambled as far as it goes.
      requireBits("Dot11b_Scrambler", "frame", frame);
      const std::size_t scrambled = std::min(preambleSize, frame.size());
      Bits output = scrambler741(Bits(frame.begin(), frame.begin() + scrambled), seed);
      output.insert(output.end(), frame.begin() + scrambled, frame.end());
      return output;
    }
    default:
      throw std::invalid_argument("Dot11b_Scrambler: scrambleActive must be 0, 1 or 2, got " +
                                  std::to_string(scrambleActive));
  }
}

Bits lfsr(int order, const Bits& taps, std::size_t m, const Bits& seed) {
  if (order < 1) {
    throw std::invalid_argument("Lfsr: order must be at least 1, got " + std::to_string(order));
  }
  const auto n = static_cast<std::size_t>(order);
  if (taps.size() < n) {
    throw std::invalid_argument("Lfsr: " + std::to_string(taps.size()) + " taps given for order " +
                                std::to_string(order));
  }
  if (seed.size() != n) {
    throw std::invalid_argument("Lfsr: seed has " + std::to_string(seed.size()) + " bits, order is " +
                                std::to_string(order));
  }
  requireBits("Lfsr", "taps", taps);
  requireBits("Lfsr", "seed", seed);
  Bits a(std::max(m, n), 0);
  std::copy(seed.begin(), seed.end(), a.begin());
  // taps[0] weighs the oldest of the `order` previous bits, taps[order - 1] the newest.
  for (std::size_t i = n; i < a.size(); ++i) {
    uint8_t bit = 0;
    for (std::size_t k = 0; k < n; ++k) bit ^= taps[k] & a[i - n + k];
    a[i] = bit;
  }
  return a;
}

Bits lfsrChecksum(const Bits& taps, const Bits& initialState, const Bits& data) {
  if (taps.size() < 2) {
    throw std::invalid_argument("LfsrChecksum: a generator needs at least 2 coefficients, got " +
                                std::to_string(taps.size()));
  }
  const std::size_t n = taps.size() - 1;
  if (initialState.size() != n) {
    throw std::invalid_argument("LfsrChecksum: initial state has " + std::to_string(initialState.size()) +
                                " bits, the generator needs " + std::to_string(n));
  }
  requireBits("LfsrChecksum", "taps", taps);
  requireBits("LfsrChecksum", "initial state", initialState);
  requireBits("LfsrChecksum", "data", data);
  // r[k] is the coefficient of x^k; the x^N coefficient of the generator is implied by the shift.
  Bits r = initialState;
  for (const uint8_t d : data) {
    const uint8_t c = r[n - 1] ^ d;
    for (std::size_t k = n - 1; k > 0; --k) r[k] = r[k - 1] ^ (c & taps[k]);
    r[0] = c & taps[0];
  }
  return Bits(r.rbegin(), r.rend());
}

Bits crc32(const Bits& input) {
  requireBits("LfsrChecksum", "data", input);
  // lfsrChecksum with the register in one word (bit k the coefficient of x^k): a frame's FCS covers up to
  // 18 000 bits, and the receiver checks one a frame.
  static const std::uint32_t generator = [] {
    std::uint32_t g = 0;
    for (std::size_t k = 0; k < 32; ++k) g |= static_cast<std::uint32_t>(kCrc32Generator[k]) << k;
    return g;
  }();
  std::uint32_t r = 0xFFFFFFFFu;
  for (const uint8_t d : input) r = (r << 1) ^ (((r >> 31) ^ d) != 0 ? generator : 0u);
  Bits output(32);
  for (std::size_t k = 0; k < 32; ++k) output[k] = static_cast<uint8_t>(((r >> (31 - k)) & 1u) ^ 1u);
  return output;
}

}  // namespace dot11b::phy
