// SPDX-License-Identifier: GPL-3.0-or-later
// Serial devices driven through termios directly: pseudo-terminals and other terminals that
// libserialport does not list.
#pragma once

#include <memory>

#include "instrument/io/transports/serial_transport.h"

namespace dot11b::instrio {

// Opens and sets up the terminal; throws BusError INSTRIO_CONNECT_FAILED naming the port on failure.
std::unique_ptr<Transport> openTty(const SerialSettings& settings);

}  // namespace dot11b::instrio
