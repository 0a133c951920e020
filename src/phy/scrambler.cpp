// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/scrambler.h"

#include <cstdint>
#include <stdexcept>
#include <string>

#include "phy/require_bits.h"

namespace dot11b::phy {

namespace {

// Scrambler seeds for the long and the short preamble, s1 first (IEEE 802.11b-1999 18.2.4).
constexpr std::array<uint8_t, 7> kLongSeed = {1, 1, 0, 1, 1, 0, 0};
constexpr std::array<uint8_t, 7> kShortSeed = {0, 0, 1, 1, 0, 1, 1};
constexpr std::size_t kLongPreambleBits = 144;
constexpr std::size_t kShortPreambleBits = 72;

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

}  // namespace dot11b::phy
