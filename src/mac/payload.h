// SPDX-License-Identifier: GPL-3.0-or-later
// The PSDU: optional MAC header, payload of the chosen source, and the frame check sequence over both.
#pragma once

#include <string>

#include "phy/types.h"

namespace dot11b::mac {

enum class PayloadSource { Zeros = 1, Ones, Alternating01, Alternating10, Pn9, Pn15, UserFile };

struct PayloadSettings {
  int dataSourceType = 1;        // 1..7, see PayloadSource
  double dataLength = 1024;      // payload [octets], whole, 0..2312
  std::string dataSourceName;    // file read by the "User file" source
  bool macHeaderActive = false;
  Bits macHeaderBits;            // MACheader.Contents.BitStream
  bool fcsActive = false;
};

// Throws std::invalid_argument on a bad source or length, std::runtime_error naming the file when the
// user file cannot be read.
Bits generatePayload(const PayloadSettings& settings);

// The payload data alone (dataLength octets, no header, no FCS) of a frame whose source carries on from
// `firstOctet` octets into a run of frames: PN9 and PN15 go on where the frame before left off, a user file
// with its next octets (from its start again after its end); the other sources are the same in every frame.
Bits payloadData(const PayloadSettings& settings, std::uint64_t firstOctet);

// The 32 FCS bits of a bit vector (CRC-32, x^31 coefficient first; IEEE 802.11-1999 7.1.3.6).
Bits calcMacFcs(const Bits& data);

// `header` (may be empty), then `data`, then the FCS over both when `withFcs`.
Bits assemblePsdu(const Bits& header, const Bits& data, bool withFcs);

}  // namespace dot11b::mac
