// SPDX-License-Identifier: GPL-3.0-or-later
// Ready-made MAC frames (IEEE 802.11-1999 clause 7): beacon, probe response, data, null, ACK, CTS and RTS
// headers with their Duration/ID, and the beacon and probe response frame body.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "mac/mac_header.h"
#include "phy/types.h"

namespace dot11b::mac {

enum class TemplateKind { Beacon, ProbeResponse, Data, Null, Ack, Cts, Rts };

// "beacon", "probe-response", "data", "null", "ack", "cts", "rts"; nothing for another name.
std::optional<TemplateKind> templateKindNamed(std::string_view name);
// For messages: "beacon, probe-response, data, null, ack, cts or rts".
std::string_view templateNames();

using MacAddress = std::array<std::uint8_t, 6>;

// "00:11:22:33:44:55": six pairs of hex digits of either case, all separated by ':' or all by '-'.
// Throws std::invalid_argument "'TEXT' is not a MAC address such as 00:11:22:33:44:55".
MacAddress parseMacAddress(std::string_view text);
// The MacField contents that put the address on the air in its written order: first octet least significant.
std::uint64_t addressContents(const MacAddress& a);

struct TemplateSettings {
  TemplateKind kind = TemplateKind::Data;
  std::string ssid;                         // beacon and probe response; at most 32 octets
  std::optional<MacAddress> bssid, ra, ta;  // not given: the base header's field stays
  double beaconIntervalTu = 100;            // 1..65535 whole TU
  int channel = 1;                          // 1..14, DS Parameter Set
};

// What the PSDU's air times depend on, for the Duration field.
struct AirTime {
  double rateMbps = 11;           // 1, 2, 5.5 or 11: the frame's rate; the responses (ACK, CTS) go at it too
  bool shortPreamble = false;     // PLCP preamble+header 96 us, else 192 us
  std::size_t payloadOctets = 0;  // 0..2312, the payload of the data frame that RTS and CTS protect
};

// What a template puts after its header: the parameters' payload (data), nothing (null and control frames)
// or a management body (beacon, probe response).
enum class TemplateBody { Payload, None, Management };
TemplateBody templateBody(TemplateKind kind);

// The base header with Frame Control, Duration/ID, the addresses the template names and the active flags
// set; what the template does not name (the Sequence Control value, an address not given) stays as in base.
// The bit stream is recomputed. Throws std::invalid_argument for bad settings or air time (SSID too long,
// channel, interval, rate, payload length), whatever the kind.
MacHeader templateHeader(const TemplateSettings& s, const MacHeader& base, const AirTime& air);

// Beacon / probe response frame body: Timestamp (8 octets, `timestampUs`), Beacon Interval (2), Capability
// Information (2: ESS; Short Preamble when air.shortPreamble; PBCC when `pbcc`), SSID, Supported Rates
// (1, 2, 5.5 and 11 Mbit/s, all basic) and DS Parameter Set elements, and for a beacon a TIM element.
// Each octet least significant bit first. Throws std::invalid_argument for bad settings or another kind.
Bits managementBody(const TemplateSettings& s, const AirTime& air, bool pbcc, std::uint64_t timestampUs);

}  // namespace dot11b::mac
