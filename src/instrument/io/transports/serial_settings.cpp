// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/io/transports/serial_settings.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "instrument/io/bus_error.h"

namespace dot11b::instrio {
namespace {

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

std::string serialDevicePath(int port) {
  if (port < 1) {
    throw BusError(INSTRIO_BAD_ARGUMENT,
                   "instrIO: RS232 port " + std::to_string(port) + " is not a port number (1 or more)");
  }
  const std::string variable = "DOT11B_SERIAL_PORT" + std::to_string(port);
  const char* device = std::getenv(variable.c_str());
  if (device != nullptr && *device != '\0') return device;
  return "/dev/ttyS" + std::to_string(port - 1);
}

Handshake parseHandshake(std::string_view text) {
  if (equalIgnoringCase(text, "None")) return Handshake::None;
  if (equalIgnoringCase(text, "Xon/Xoff")) return Handshake::XonXoff;
  if (equalIgnoringCase(text, "RTS/CTS")) return Handshake::RtsCts;
  throw BusError(INSTRIO_BAD_ARGUMENT, "instrIO: RS232 handshake \"" + std::string(text) +
                                           "\" is not one of \"None\", \"Xon/Xoff\", \"RTS/CTS\"");
}

int checkedBaudRate(int baud) {
  if (baud < 50 || baud > 4000000) {
    throw BusError(INSTRIO_BAD_ARGUMENT,
                   "instrIO: RS232 baud rate " + std::to_string(baud) + " is outside 50 to 4000000");
  }
  return baud;
}

}  // namespace dot11b::instrio
