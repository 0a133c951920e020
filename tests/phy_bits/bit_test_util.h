// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by the bit-level tests.
#pragma once

#include <string_view>

#include "phy/types.h"

namespace dot11b::test {

// "0 1 1 0" or "0110" to bits; spaces are ignored.
inline Bits bitsOf(std::string_view text) {
  Bits bits;
  for (const char c : text) {
    if (c == '0' || c == '1') bits.push_back(static_cast<uint8_t>(c - '0'));
  }
  return bits;
}

inline Bits concat(Bits a, const Bits& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

inline Bits slice(const Bits& bits, std::size_t first, std::size_t count) {
  return Bits(bits.begin() + first, bits.begin() + first + count);
}

}  // namespace dot11b::test
