// SPDX-License-Identifier: GPL-3.0-or-later
// RS-232 connection: 8 data bits, no parity, 1 stop bit, the chosen baud rate and handshake.
#pragma once

#include <memory>
#include <string>

#include "instrument/io/transports/serial_settings.h"
#include "instrument/io/transports/transport.h"

namespace dot11b::instrio {

struct SerialSettings {
  int port = 1;      // port number, for the address text
  std::string device;  // device path, e.g. /dev/ttyS0
  int baud = 9600;   // [bit/s]
  Handshake handshake = Handshake::XonXoff;
};

// Serial framing: a start bit, 8 data bits and a stop bit per byte.
inline constexpr double kSerialBitsPerByte = 10.0;

// Opens the port, sets it up and discards stale input. Throws BusError INSTRIO_CONNECT_FAILED
// naming the port and device when the device does not exist or cannot be opened or set up.
std::unique_ptr<Transport> openSerial(const SerialSettings& settings);

// Address text of a serial port in messages, e.g. "ASRL1::INSTR (/dev/ttyS0)".
std::string serialAddress(const SerialSettings& settings);

// Slowest rate expected for a block: the line rate, halved to allow for handshake pauses [byte/s].
double serialMinBytesPerSecond(int baud);

}  // namespace dot11b::instrio
