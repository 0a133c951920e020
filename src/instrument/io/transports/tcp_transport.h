// SPDX-License-Identifier: GPL-3.0-or-later
// SCPI over a TCP socket (IPv4 or IPv6), with non-blocking connect and poll time-outs.
#pragma once

#include <memory>

#include "instrument/io/transports/deadline.h"
#include "instrument/io/transports/tcp_address.h"
#include "instrument/io/transports/transport.h"

namespace dot11b::instrio {

// Connects to `endpoint` before `deadline`, trying every address the name resolves to.
// board: LAN interface number, used only in the address text.
// Throws BusError INSTRIO_CONNECT_FAILED naming the address and the reason; with an observer, BusError
// INSTRIO_CANCELLED when the caller cancels while the connection is not yet answered.
std::unique_ptr<Transport> openTcp(const TcpEndpoint& endpoint, int board, const Deadline& deadline,
                                   const TransferObserver* observer = nullptr);

}  // namespace dot11b::instrio
