// SPDX-License-Identifier: GPL-3.0-or-later
// The MAC header record (IEEE 802.11-1999 7.2): its fields and the bit stream they make.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "phy/types.h"

namespace dot11b::mac {

struct MacField {
  std::uint64_t contents = 0;  // field value
  std::size_t size = 0;        // [octets]
  bool active = true;
};

// Field order inside the record: FrameCntrl, DurationID, SeqCntrl, Address1..4.
enum MacFieldId { FrameCntrl, DurationID, SeqCntrl, Address1, Address2, Address3, Address4, MacFieldCount };

struct MacHeader {
  Bits bitStream;                             // 240 zero bits by default
  std::array<MacField, MacFieldCount> fields; // indexed by MacFieldId
};

std::string_view macFieldName(MacFieldId id);
// The field order of the bit stream: FrameCntrl, DurationID, Address1, Address2, Address3, SeqCntrl, Address4.
const std::array<MacFieldId, MacFieldCount>& macBitStreamOrder();

MacHeader defaultMacHeader();
// 8 * size bits of an active field, least significant bit first; empty when inactive.
Bits recalcBitField(const MacField& field);
// Concatenation of the active fields in bit-stream order.
Bits recalcBitStream(const MacHeader& header);

}  // namespace dot11b::mac
