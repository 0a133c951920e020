// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/io/transports/serial_transport.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "instrument/io/bus_error.h"
#include "instrument/io/transports/serial_libserialport.h"
#include "instrument/io/transports/serial_tty.h"

namespace dot11b::instrio {

std::string serialAddress(const SerialSettings& settings) {
  return "ASRL" + std::to_string(settings.port) + "::INSTR (" + settings.device + ")";
}

double serialMinBytesPerSecond(int baud) { return baud / kSerialBitsPerByte / 2.0; }

std::unique_ptr<Transport> openSerial(const SerialSettings& settings) {
  struct stat info {};
  if (::stat(settings.device.c_str(), &info) != 0) {
    const std::string reason = errno == ENOENT ? "the serial port does not exist" : std::strerror(errno);
    throw BusError(INSTRIO_CONNECT_FAILED, serialAddress(settings) + ": " + reason +
                                               " (set DOT11B_SERIAL_PORT" + std::to_string(settings.port) +
                                               " to use another device)");
  }
  if (!S_ISCHR(info.st_mode)) {
    throw BusError(INSTRIO_CONNECT_FAILED, serialAddress(settings) + ": not a serial device");
  }
  // libserialport finds ports through sysfs, which lists no pseudo-terminals; those are driven
  // through termios directly.
  if (auto port = openWithLibserialport(settings)) return port;
  return openTty(settings);
}

}  // namespace dot11b::instrio
