// SPDX-License-Identifier: GPL-3.0-or-later
// The instrument address of a TCP/IP connection as the user types it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dot11b::instrio {

// SCPI socket port used when the address names none.
inline constexpr uint16_t kDefaultScpiPort = 5025;

struct TcpEndpoint {
  std::string host;  // host name, IPv4 or IPv6 address (without brackets)
  uint16_t port = kDefaultScpiPort;
};

// Parses "host", "host:port", "[ipv6]:port", "[ipv6]" or a bare IPv6 address ("fe80::1").
// Surrounding blanks are ignored. Throws BusError INSTRIO_BAD_ARGUMENT for an empty address, a port
// outside 1..65535, or an unspecified address (0.0.0.0 or ::, the "not set" value of the settings).
TcpEndpoint parseTcpAddress(std::string_view text);

}  // namespace dot11b::instrio
