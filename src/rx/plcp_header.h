// SPDX-License-Identifier: GPL-3.0-or-later
// The 48 bits of the PLCP header as received (IEEE 802.11b-1999 18.2.3): SIGNAL, SERVICE, LENGTH and
// the CRC-16 that covers them, and the PSDU length they announce.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "phy/types.h"

namespace dot11b::rx {

struct PlcpHeader {
  std::uint8_t signal = 0;    // rate in units of 100 kbit/s
  std::uint8_t service = 0;   // b0 first
  std::uint16_t length = 0;   // PSDU transmit time [us]
  bool crcOk = false;

  // 1, 2, 5.5 or 11; nothing for a SIGNAL that is none of the four.
  std::optional<double> rateMbps() const;
  bool lockedClocks() const { return (service >> 2) & 1; }
  bool pbcc() const { return (service >> 3) & 1; }
  bool lengthExtension() const { return (service >> 7) & 1; }
  // The PSDU octets the header announces (18.2.3.5): LENGTH x rate / 8, less the length extension at
  // 11 Mbit/s and the extra octet of PBCC; nothing when the rate is unknown.
  std::optional<std::size_t> psduOctets() const;
};

// The fields of 48 descrambled bits, first received first.
PlcpHeader parsePlcpHeader(const Bits& bits);

}  // namespace dot11b::rx
