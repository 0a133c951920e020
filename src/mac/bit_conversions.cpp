// SPDX-License-Identifier: GPL-3.0-or-later
#include "mac/bit_conversions.h"

#include <algorithm>
#include <bit>
#include <stdexcept>
#include <string>

namespace dot11b::mac {

namespace {

// Whole numbers from 2^53 on are no longer all representable as doubles, so the callers' values are
// not guaranteed exact there.
constexpr std::uint64_t kExactLimit = std::uint64_t{1} << 53;

}  // namespace

Bits bitVector(std::uint64_t x, std::size_t minSize, bool leftMsb) {
  if (x >= kExactLimit) {
    throw std::invalid_argument("BitVector: value " + std::to_string(x) +
                                " is not below 2^53 and cannot be converted exactly");
  }
  // Number of significant bits, ceil(log2(x + 1)), in whole numbers.
  const auto significant = static_cast<std::size_t>(std::bit_width(x));
  Bits output(std::max(significant, minSize), 0);
  for (std::size_t i = 0; i < significant; ++i) {
    output[i] = static_cast<uint8_t>((x >> i) & 1U);
  }
  if (leftMsb) std::reverse(output.begin(), output.end());
  return output;
}

std::size_t defaultBitVectorSize(std::uint64_t x) {
  // ceil(log2 x) for x >= 1 is the bit width of x - 1; log2 0 is -inf, which never pads.
  return x <= 1 ? 0 : static_cast<std::size_t>(std::bit_width(x - 1));
}

std::string hexString(std::uint64_t num, std::size_t sizeOctets) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string digits;
  do {
    digits.push_back(kDigits[num & 0xFU]);
    num >>= 4;
  } while (num != 0);
  const std::size_t width = 2 * sizeOctets;
  if (digits.size() < width) digits.append(width - digits.size(), '0');
  std::reverse(digits.begin(), digits.end());
  return digits;
}

}  // namespace dot11b::mac
