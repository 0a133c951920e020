// SPDX-License-Identifier: GPL-3.0-or-later
// The check every bit routine makes of its inputs.
#pragma once

#include <algorithm>
#include <stdexcept>
#include <string>

#include "phy/types.h"

namespace dot11b::phy {

// Throws std::invalid_argument naming the routine, the input and the first value that is not 0 or 1.
inline void requireBits(const char* routine, const char* name, const Bits& bits) {
  const auto bad = std::find_if(bits.begin(), bits.end(), [](uint8_t b) { return b > 1; });
  if (bad != bits.end()) {
    throw std::invalid_argument(std::string(routine) + ": " + name + " holds the value " + std::to_string(*bad) +
                                " at bit " + std::to_string(bad - bits.begin() + 1) + "; bits must be 0 or 1");
  }
}

}  // namespace dot11b::phy
