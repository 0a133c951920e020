// SPDX-License-Identifier: GPL-3.0-or-later
#include "mac/mac_header.h"

#include <stdexcept>
#include <string>

#include "mac/bit_conversions.h"

namespace dot11b::mac {

namespace {

// Widest field whose value the bit conversion holds exactly (values below 2^53).
constexpr std::size_t maxFieldOctets = 6;

}  // namespace

std::string_view macFieldName(MacFieldId id) {
  switch (id) {
    case FrameCntrl: return "FrameCntrl";
    case DurationID: return "DurationID";
    case SeqCntrl: return "SeqCntrl";
    case Address1: return "Address1";
    case Address2: return "Address2";
    case Address3: return "Address3";
    case Address4: return "Address4";
    case MacFieldCount: break;
  }
  throw std::invalid_argument("macFieldName: " + std::to_string(static_cast<int>(id)) +
                              " is not a MAC header field");
}

const std::array<MacFieldId, MacFieldCount>& macBitStreamOrder() {
  // IEEE 802.11-1999 7.2.2 data frame: Frame Control, Duration/ID, Address 1-3, Sequence Control, Address 4.
  static constexpr std::array<MacFieldId, MacFieldCount> order = {FrameCntrl, DurationID, Address1, Address2,
                                                                  Address3,   SeqCntrl,   Address4};
  return order;
}

MacHeader defaultMacHeader() {
  MacHeader header;
  header.fields[FrameCntrl] = {0, 2, true};
  header.fields[DurationID] = {0, 2, true};
  header.fields[SeqCntrl] = {0, 2, true};
  for (MacFieldId id : {Address1, Address2, Address3, Address4}) header.fields[id] = {0, 6, true};
  header.bitStream = Bits(240, 0);
  return header;
}

Bits recalcBitField(const MacField& field) {
  if (!field.active) return {};
  if (field.size > maxFieldOctets) {
    throw std::invalid_argument("recalcBitField: field size " + std::to_string(field.size) + " octets exceeds " +
                                std::to_string(maxFieldOctets));
  }
  const std::size_t width = 8 * field.size;
  if (field.contents >> width != 0) {
    throw std::invalid_argument("recalcBitField: value " + std::to_string(field.contents) + " does not fit " +
                                std::to_string(field.size) + " octets");
  }
  // Least significant bit first, so the low octet goes first and each octet least significant bit first.
  return bitVector(field.contents, width, false);
}

Bits recalcBitStream(const MacHeader& header) {
  Bits stream;
  for (MacFieldId id : macBitStreamOrder()) {
    const Bits field = recalcBitField(header.fields[id]);
    stream.insert(stream.end(), field.begin(), field.end());
  }
  return stream;
}

}  // namespace dot11b::mac
