// SPDX-License-Identifier: GPL-3.0-or-later
// The MAC header at the front of a PSDU (IEEE 802.11-1999 7.1-7.2), when it parses: what a user checks
// first in a frame under test.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "phy/types.h"

namespace dot11b::rx {

// The fixed fields and the elements a station reads first of a beacon or probe response body (7.2.3.1,
// 7.2.3.9, 7.3).
struct ManagementBody {
  std::uint64_t timestampUs = 0;
  std::uint16_t beaconIntervalTu = 0;
  std::uint16_t capability = 0;
  std::optional<std::string> ssid;
  std::vector<double> ratesMbps;     // Supported Rates, basic or not
  std::optional<int> channel;        // DS Parameter Set
};

struct MacFields {
  std::uint16_t frameControl = 0;
  int type = 0;     // 0 management, 1 control, 2 data
  int subtype = 0;
  bool toDs = false, fromDs = false;
  std::uint16_t duration = 0;
  std::vector<std::string> addresses;  // "00:11:22:33:44:55", in the order of the header
  std::optional<std::uint16_t> sequenceControl;
  std::optional<ManagementBody> management;  // of a beacon or probe response whose body parses
};

// "beacon", "probe response", "data", "null", "ACK", "CTS", "RTS", or "type T subtype S".
std::string frameKindName(const MacFields& f);

// The PSDU's bits as octets, each octet's first bit its least significant.
std::vector<std::uint8_t> octetsOf(const Bits& bits);

// The MAC header of a PSDU whose FCS holds, with a beacon's or probe response's body; nothing when the
// PSDU is too short for the header its Frame Control announces, or its protocol version is not 0.
std::optional<MacFields> parseMacHeader(const std::vector<std::uint8_t>& psdu);

}  // namespace dot11b::rx
