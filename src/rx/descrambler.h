// SPDX-License-Identifier: GPL-3.0-or-later
// The self-synchronising descrambler of the DSSS PHY (x^7 + x^4 + 1, IEEE 802.11b-1999 18.2.4): each
// received bit is added to the received bits 4 and 7 before it, so that it needs no seed and is right
// from the eighth bit on, whatever the transmitter's scrambler held.
#pragma once

#include <cstdint>

namespace dot11b::rx {

class Descrambler {
 public:
  std::uint8_t next(std::uint8_t received) {
    const std::uint8_t out = received ^ ((history_ >> 3) & 1) ^ ((history_ >> 6) & 1);
    history_ = static_cast<std::uint8_t>(((history_ << 1) | received) & 0x7F);
    return out;
  }

 private:
  std::uint8_t history_ = 0;  // bit k: the received bit k + 1 places back
};

}  // namespace dot11b::rx
