// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/verify/mac_fields.h"

#include <algorithm>
#include <cstdio>

namespace dot11b::rx {

namespace {

std::string addressText(const std::vector<std::uint8_t>& octets, std::size_t at) {
  char text[18];
  std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", octets[at], octets[at + 1], octets[at + 2],
                octets[at + 3], octets[at + 4], octets[at + 5]);
  return text;
}

std::uint16_t word(const std::vector<std::uint8_t>& octets, std::size_t at) {
  return static_cast<std::uint16_t>(octets[at] | octets[at + 1] << 8);
}

// The body between the 24-octet header and the FCS; nothing when an element runs past its end.
std::optional<ManagementBody> parseManagementBody(const std::vector<std::uint8_t>& psdu) {
  const std::size_t end = psdu.size() - 4;
  std::size_t at = 24;
  if (end < at + 12) return std::nullopt;
  ManagementBody b;
  for (std::size_t k = 0; k < 8; ++k) b.timestampUs |= static_cast<std::uint64_t>(psdu[at + k]) << (8 * k);
  b.beaconIntervalTu = word(psdu, at + 8);
  b.capability = word(psdu, at + 10);
  for (at += 12; at < end;) {
    if (at + 2 > end || at + 2 + psdu[at + 1] > end) return std::nullopt;
    const std::uint8_t id = psdu[at], length = psdu[at + 1];
    const auto* value = psdu.data() + at + 2;
    if (id == 0) b.ssid = std::string(value, value + length);
    if (id == 1)
      for (std::uint8_t k = 0; k < length; ++k) b.ratesMbps.push_back((value[k] & 0x7f) * 0.5);
    if (id == 3 && length == 1) b.channel = value[0];
    at += 2 + length;
  }
  return b;
}

}  // namespace

std::string frameKindName(const MacFields& f) {
  if (f.type == 0 && f.subtype == 8) return "beacon";
  if (f.type == 0 && f.subtype == 5) return "probe response";
  if (f.type == 2 && f.subtype == 0) return "data";
  if (f.type == 2 && f.subtype == 4) return "null";
  if (f.type == 1 && f.subtype == 13) return "ACK";
  if (f.type == 1 && f.subtype == 12) return "CTS";
  if (f.type == 1 && f.subtype == 11) return "RTS";
  return "type " + std::to_string(f.type) + " subtype " + std::to_string(f.subtype);
}

std::vector<std::uint8_t> octetsOf(const Bits& bits) {
  std::vector<std::uint8_t> octets(bits.size() / 8);
  for (std::size_t k = 0; k < octets.size(); ++k) {
    const std::uint8_t* octet = bits.data() + 8 * k;  // first bit least significant
    unsigned value = 0;
    for (unsigned b = 0; b < 8; ++b) value |= (octet[b] & 1u) << b;
    octets[k] = static_cast<std::uint8_t>(value);
  }
  return octets;
}

std::optional<MacFields> parseMacHeader(const std::vector<std::uint8_t>& psdu) {
  if (psdu.size() < 2 + 4) return std::nullopt;
  MacFields f;
  f.frameControl = word(psdu, 0);
  if ((f.frameControl & 3) != 0) return std::nullopt;
  f.type = (f.frameControl >> 2) & 3;
  f.subtype = (f.frameControl >> 4) & 15;
  f.toDs = (f.frameControl >> 8) & 1;
  f.fromDs = (f.frameControl >> 9) & 1;
  // How many addresses follow Duration, and whether Sequence Control does (7.2.1, 7.2.2, 7.2.3).
  std::size_t addresses = 3;
  bool sequence = true;
  if (f.type == 1) {
    sequence = false;
    addresses = (f.subtype == 12 || f.subtype == 13) ? 1 : 2;  // CTS and ACK carry only the receiver
  } else if (f.type == 2 && f.toDs && f.fromDs) {
    addresses = 4;
  } else if (f.type == 3) {
    return std::nullopt;
  }
  const std::size_t length = 4 + 6 * std::min<std::size_t>(addresses, 3) + (sequence ? 2 : 0) + (addresses == 4 ? 6 : 0);
  if (psdu.size() < length + 4) return std::nullopt;  // the FCS follows
  f.duration = word(psdu, 2);
  for (std::size_t a = 0; a < std::min<std::size_t>(addresses, 3); ++a) f.addresses.push_back(addressText(psdu, 4 + 6 * a));
  if (sequence) f.sequenceControl = word(psdu, 4 + 18);
  if (addresses == 4) f.addresses.push_back(addressText(psdu, 24));
  if (f.type == 0 && (f.subtype == 8 || f.subtype == 5)) f.management = parseManagementBody(psdu);
  return f;
}

}  // namespace dot11b::rx
