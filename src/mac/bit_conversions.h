// SPDX-License-Identifier: GPL-3.0-or-later
// Whole numbers to bit vectors and fixed-width hexadecimal text.
#pragma once

#include <cstdint>
#include <string>

#include "phy/types.h"

namespace dot11b::mac {

// Bits of x, least significant first, zero-padded at the high end to minSize bits; leftMsb reverses the
// result (most significant bit first). x must be below 2^53 so that it is exact in a double.
Bits bitVector(std::uint64_t x, std::size_t minSize, bool leftMsb);

// Default width of a one-argument BitVector call: ceil(log2 x) (0 for x <= 1).
std::size_t defaultBitVectorSize(std::uint64_t x);

// Upper-case hexadecimal digits of num, left-padded with '0' to 2 * sizeOctets characters (never cut).
std::string hexString(std::uint64_t num, std::size_t sizeOctets);

}  // namespace dot11b::mac
