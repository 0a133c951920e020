// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/crc.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "phy/require_bits.h"

namespace dot11b::phy {

namespace {

// CRC-32 generator 04C11DB7 as the coefficients of x^0 .. x^32.
const Bits kCrc32Generator = {1, 1, 1, 0, 1, 1, 0, 1, 1, 0, 1, 1, 1, 0, 0, 0, 1,
                              0, 0, 0, 0, 0, 1, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1};

}  // namespace

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
  // Eight bits at a time through a table of the register's top octet (the bits first sent highest), the
  // rest one by one.
  static const std::array<std::uint32_t, 256> octetSteps = [] {
    std::array<std::uint32_t, 256> steps{};
    for (std::uint32_t top = 0; top < 256; ++top) {
      std::uint32_t r = top << 24;
      for (int k = 0; k < 8; ++k) r = (r << 1) ^ ((r >> 31) != 0 ? generator : 0u);
      steps[top] = r;
    }
    return steps;
  }();
  std::uint32_t r = 0xFFFFFFFFu;
  std::size_t k = 0;
  for (; k + 8 <= input.size(); k += 8) {
    std::uint32_t octet = 0;
    for (std::size_t b = 0; b < 8; ++b) octet = octet << 1 | input[k + b];
    r = (r << 8) ^ octetSteps[(r >> 24) ^ octet];
  }
  for (; k < input.size(); ++k) r = (r << 1) ^ (((r >> 31) ^ input[k]) != 0 ? generator : 0u);
  Bits output(32);
  for (std::size_t k = 0; k < 32; ++k) output[k] = static_cast<uint8_t>(((r >> (31 - k)) & 1u) ^ 1u);
  return output;
}

}  // namespace dot11b::phy
