// SPDX-License-Identifier: GPL-3.0-or-later
// Serial ports that libserialport knows (ports listed by the system: ttyS, ttyUSB, ttyACM ...).
#pragma once

#include <memory>

#include "instrument/io/transports/serial_transport.h"

namespace dot11b::instrio {

// Opens and sets up the port through libserialport. Returns null when libserialport does not know
// the device; throws BusError INSTRIO_CONNECT_FAILED when it knows it but cannot open or set it up.
std::unique_ptr<Transport> openWithLibserialport(const SerialSettings& settings);

}  // namespace dot11b::instrio
