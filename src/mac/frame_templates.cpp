// SPDX-License-Identifier: GPL-3.0-or-later
#include "mac/frame_templates.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "runtime/shortest_text.h"

namespace dot11b::mac {

namespace {

constexpr std::size_t maxSsidOctets = 32;
constexpr std::size_t maxPayloadOctets = 2312;  // longest frame body, 7.1.2
constexpr std::uint64_t broadcastAddress = 0xFFFFFFFFFFFF;

// Air times [us] for the Duration field (9.2.5, 18.2.2).
constexpr std::uint64_t sifsUs = 10;
constexpr std::uint64_t longPlcpUs = 192;
constexpr std::uint64_t shortPlcpUs = 96;
constexpr std::size_t ackOctets = 14;
constexpr std::size_t ctsOctets = 14;
constexpr std::size_t dataHeaderOctets = 24;
constexpr std::size_t fcsOctets = 4;

enum FrameType { Management = 0, Control = 1, Data = 2 };
constexpr std::uint64_t toDs = 0x100;  // bit 0 of the second Frame Control octet

// Frame Control contents: protocol version 0 in b0-1, type in b2-3, subtype in b4-7, `flags` in the second octet.
constexpr std::uint64_t frameControl(FrameType type, unsigned subtype, std::uint64_t flags = 0) {
  return static_cast<std::uint64_t>(type) << 2 | subtype << 4 | flags;
}

struct Layout {
  std::string_view name;
  std::uint64_t frameControl;
  std::size_t addresses;  // Address1 onwards
  bool sequenceControl;
  TemplateBody body;
};

// Indexed by TemplateKind.
constexpr std::array<Layout, 7> layouts = {{
    {"beacon", frameControl(Management, 8), 3, true, TemplateBody::Management},
    {"probe-response", frameControl(Management, 5), 3, true, TemplateBody::Management},
    {"data", frameControl(Data, 0), 3, true, TemplateBody::Payload},
    {"null", frameControl(Data, 4, toDs), 3, true, TemplateBody::None},
    {"ack", frameControl(Control, 13), 1, false, TemplateBody::None},
    {"cts", frameControl(Control, 12), 1, false, TemplateBody::None},
    {"rts", frameControl(Control, 11), 2, false, TemplateBody::None},
}};

const Layout& layoutOf(TemplateKind kind) { return layouts.at(static_cast<std::size_t>(kind)); }

void checkSettings(const TemplateSettings& s) {
  if (s.ssid.size() > maxSsidOctets) {
    throw std::invalid_argument("the SSID has " + std::to_string(s.ssid.size()) + " octets, more than " +
                                std::to_string(maxSsidOctets));
  }
  if (s.channel < 1 || s.channel > 14) {
    throw std::invalid_argument("channel " + std::to_string(s.channel) + " is not 1..14");
  }
  if (!(s.beaconIntervalTu >= 1 && s.beaconIntervalTu <= 65535) ||
      s.beaconIntervalTu != std::floor(s.beaconIntervalTu)) {
    throw std::invalid_argument("beacon interval " + rt::shortestText(s.beaconIntervalTu) +
                                " TU is not a whole number 1..65535");
  }
}

void checkAirTime(const AirTime& air) {
  const double r = air.rateMbps;
  if (r != 1 && r != 2 && r != 5.5 && r != 11) {
    throw std::invalid_argument("rate " + rt::shortestText(r) + " Mbit/s is not 1, 2, 5.5 or 11");
  }
  if (air.payloadOctets > maxPayloadOctets) {
    throw std::invalid_argument("payload of " + std::to_string(air.payloadOctets) + " octets is longer than " +
                                std::to_string(maxPayloadOctets));
  }
}

// PLCP preamble and header, then the PSDU rounded up to whole microseconds.
std::uint64_t frameTimeUs(std::size_t octets, const AirTime& air) {
  // In half Mbit/s the rates are whole numbers and the rounding exact.
  const auto halfMbps = static_cast<std::uint64_t>(2 * air.rateMbps);
  const std::uint64_t psduUs = (16 * octets + halfMbps - 1) / halfMbps;
  return (air.shortPreamble ? shortPlcpUs : longPlcpUs) + psduUs;
}

std::uint64_t durationUs(TemplateKind kind, std::uint64_t receiver, const AirTime& air) {
  // A group-addressed frame is not acknowledged.
  if (receiver & 1) return 0;
  const std::uint64_t ack = frameTimeUs(ackOctets, air);
  const std::uint64_t data = frameTimeUs(dataHeaderOctets + air.payloadOctets + fcsOctets, air);
  switch (kind) {
    case TemplateKind::Ack: return 0;
    case TemplateKind::Cts: return 2 * sifsUs + data + ack;
    case TemplateKind::Rts: return 3 * sifsUs + frameTimeUs(ctsOctets, air) + data + ack;
    default: return sifsUs + ack;
  }
}

void appendOctets(Bits& bits, std::uint64_t value, std::size_t octets) {
  for (std::size_t b = 0; b < 8 * octets; ++b) bits.push_back(static_cast<uint8_t>((value >> b) & 1U));
}

void appendElement(Bits& bits, std::uint8_t id, std::string_view contents) {
  appendOctets(bits, id, 1);
  appendOctets(bits, contents.size(), 1);
  for (char c : contents) appendOctets(bits, static_cast<unsigned char>(c), 1);
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<TemplateKind> templateKindNamed(std::string_view name) {
  for (std::size_t k = 0; k < layouts.size(); ++k) {
    if (layouts[k].name == name) return static_cast<TemplateKind>(k);
  }
  return std::nullopt;
}

std::string_view templateNames() { return "beacon, probe-response, data, null, ack, cts or rts"; }

MacAddress parseMacAddress(std::string_view text) {
  const auto fail = [&] {
    return std::invalid_argument("'" + std::string(text) + "' is not a MAC address such as 00:11:22:33:44:55");
  };
  if (text.size() != 17 || (text[2] != ':' && text[2] != '-')) throw fail();
  MacAddress address{};
  for (std::size_t i = 0; i < address.size(); ++i) {
    const int high = hexDigit(text[3 * i]);
    const int low = hexDigit(text[3 * i + 1]);
    if (high < 0 || low < 0 || (i > 0 && text[3 * i - 1] != text[2])) throw fail();
    address[i] = static_cast<std::uint8_t>(16 * high + low);
  }
  return address;
}

std::uint64_t addressContents(const MacAddress& a) {
  std::uint64_t contents = 0;
  for (std::size_t i = 0; i < a.size(); ++i) contents |= static_cast<std::uint64_t>(a[i]) << (8 * i);
  return contents;
}

TemplateBody templateBody(TemplateKind kind) { return layoutOf(kind).body; }

MacHeader templateHeader(const TemplateSettings& s, const MacHeader& base, const AirTime& air) {
  checkSettings(s);
  checkAirTime(air);
  const Layout& layout = layoutOf(s.kind);
  const auto givenOr = [&](const std::optional<MacAddress>& address, MacFieldId id) {
    return address ? addressContents(*address) : base.fields[id].contents;
  };
  const std::uint64_t bssid = givenOr(s.bssid, Address3);
  std::array<std::uint64_t, 3> addresses = {givenOr(s.ra, Address1), givenOr(s.ta, Address2), bssid};
  switch (s.kind) {
    case TemplateKind::Beacon:
      addresses[0] = s.ra ? addressContents(*s.ra) : broadcastAddress;
      addresses[1] = s.ta ? addressContents(*s.ta) : bssid;
      break;
    case TemplateKind::ProbeResponse: addresses[1] = s.ta ? addressContents(*s.ta) : bssid; break;
    // To DS: the access point, named by the BSSID, receives and is the destination.
    case TemplateKind::Null: addresses[0] = bssid; break;
    default: break;
  }

  MacHeader header = base;
  header.fields[FrameCntrl] = {layout.frameControl, 2, true};
  header.fields[DurationID] = {durationUs(s.kind, addresses[0], air), 2, true};
  const MacFieldId addressIds[] = {Address1, Address2, Address3};
  for (std::size_t i = 0; i < 3; ++i) {
    MacField& field = header.fields[addressIds[i]];
    field.size = 6;
    field.active = i < layout.addresses;
    if (field.active) field.contents = addresses[i];
  }
  header.fields[SeqCntrl].size = 2;
  header.fields[SeqCntrl].active = layout.sequenceControl;
  header.fields[Address4].active = false;
  header.bitStream = recalcBitStream(header);
  return header;
}

Bits managementBody(const TemplateSettings& s, const AirTime& air, bool pbcc, std::uint64_t timestampUs) {
  checkSettings(s);
  if (templateBody(s.kind) != TemplateBody::Management) {
    throw std::invalid_argument("a " + std::string(layoutOf(s.kind).name) + " frame has no management body");
  }
  // Capability Information bits (7.3.1.4): ESS, Short Preamble, PBCC.
  const std::uint64_t capability = 0x0001 | (air.shortPreamble ? 0x0020 : 0) | (pbcc ? 0x0040 : 0);
  // 1, 2, 5.5 and 11 Mbit/s in 500 kbit/s, the top bit marking each a basic rate.
  const std::string_view supportedRates = "\x82\x84\x8B\x96";
  const char channel = static_cast<char>(s.channel);

  Bits body;
  appendOctets(body, timestampUs, 8);
  appendOctets(body, static_cast<std::uint64_t>(s.beaconIntervalTu), 2);
  appendOctets(body, capability, 2);
  appendElement(body, 0, s.ssid);
  appendElement(body, 1, supportedRates);
  appendElement(body, 3, std::string_view(&channel, 1));
  // An access point's beacon carries a TIM (7.3.2.6): DTIM count 0, DTIM period 1, no buffered traffic.
  if (s.kind == TemplateKind::Beacon) appendElement(body, 5, std::string_view("\x00\x01\x00\x00", 4));
  return body;
}

}  // namespace dot11b::mac
