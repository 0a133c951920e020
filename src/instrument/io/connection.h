// SPDX-License-Identifier: GPL-3.0-or-later
// The connection record received through the C interface, checked, and the transport it opens.
#pragma once

#include <memory>

#include "instrument/io/instrio.h"
#include "instrument/io/transports/deadline.h"
#include "instrument/io/transports/gpib_transport.h"
#include "instrument/io/transports/serial_transport.h"
#include "instrument/io/transports/tcp_address.h"
#include "instrument/io/transports/transport.h"

namespace dot11b::instrio {

enum class BusType { Gpib, Rs232, Tcpip };

struct ConnectionSettings {
  BusType type = BusType::Gpib;
  GpibSettings gpib;      // used when type is Gpib
  SerialSettings serial;  // used when type is Rs232
  TcpEndpoint tcp;        // used when type is Tcpip
  int tcpBoard = 0;
};

// Reads and checks the fields the record's type uses. Throws BusError INSTRIO_BAD_ARGUMENT for a
// null record, a wrong ABI version, an unknown type or a bad field, naming the field and value.
ConnectionSettings readConnection(const instrio_connection* record);

// Opens the connection before `deadline`. With an observer, a cancel is heard while a network
// connection waits to be answered (serial lines open at once; the GPIB driver waits in one call).
std::unique_ptr<Transport> openTransport(const ConnectionSettings& settings, const Deadline& deadline,
                                         const TransferObserver* observer = nullptr);

}  // namespace dot11b::instrio
