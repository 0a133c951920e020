// SPDX-License-Identifier: GPL-3.0-or-later
// Serial port settings of an RS-232 connection: device of a port number, handshake, baud rate.
#pragma once

#include <string>
#include <string_view>

namespace dot11b::instrio {

enum class Handshake { None, XonXoff, RtsCts };

// Device of serial port `port` (1 or more): DOT11B_SERIAL_PORT<port> when set, else /dev/ttyS<port-1>.
// Throws BusError INSTRIO_BAD_ARGUMENT for a port below 1.
std::string serialDevicePath(int port);

// "None", "Xon/Xoff" or "RTS/CTS", letter case ignored; anything else is INSTRIO_BAD_ARGUMENT.
Handshake parseHandshake(std::string_view text);

// A baud rate [bit/s] from 50 to 4000000, else INSTRIO_BAD_ARGUMENT.
int checkedBaudRate(int baud);

}  // namespace dot11b::instrio
