// SPDX-License-Identifier: GPL-3.0-or-later
// An instrument address, as the link commands and scripts give it, as a connection record (configuration):
//   tcpip:HOST[:PORT]                  HOST a name, an IPv4 address or [IPv6]; PORT 5025 unless given
//   gpib:BOARD:PRIMARY[:SECONDARY]
//   serial:PORT[:BAUD[:HANDSHAKE]]     BAUD 9600, HANDSHAKE Xon/Xoff unless given (None, Xon/Xoff, RTS/CTS)
//   soapy:ARGS                         a radio by its SoapySDR arguments (driver=hackrf,serial=...)
#pragma once

#include <string_view>

#include "runtime/value.h"

namespace dot11b::settings {

// The start-value connection record with the URI's type and fields. Throws std::invalid_argument
// naming the URI and what is wrong with it.
rt::Value configurationFromUri(std::string_view uri);

}  // namespace dot11b::settings
