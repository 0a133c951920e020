// SPDX-License-Identifier: GPL-3.0-or-later
// The receiver's sample: single precision holds a capture's figures (offsets, an EVM well below 1 %, the
// mask's -50 dBr) with room to spare, at half the memory traffic of double and twice the numbers a vector
// instruction takes.
#pragma once

#include <complex>
#include <vector>

namespace dot11b::rx {

using Sample = std::complex<float>;
using SampleRow = std::vector<Sample>;

}  // namespace dot11b::rx
