// SPDX-License-Identifier: GPL-3.0-or-later
// Plain data types shared by the 802.11b baseband core.
#pragma once

#include <complex>
#include <cstdint>
#include <vector>

namespace dot11b {

// One bit per element (0 or 1), first bit in time first.
using Bits = std::vector<uint8_t>;
using Complex = std::complex<double>;
// Chips at 11 Mchip/s, symbols, or samples at 11 MHz x oversampling: complex rows, first in time first.
using ComplexRow = std::vector<Complex>;
using RealRow = std::vector<double>;

}  // namespace dot11b
