// SPDX-License-Identifier: GPL-3.0-or-later
// GPIB connection through the linux-gpib driver library.
#pragma once

#include <memory>
#include <string>

#include "instrument/io/transports/deadline.h"
#include "instrument/io/transports/transport.h"

namespace dot11b::instrio {

struct GpibSettings {
  int board = 0;       // interface board, 0..15
  int primary = 19;    // primary address, 0..30
  int secondary = -1;  // secondary address 0..30, or -1 for none
};

// Address text in messages, e.g. "GPIB0::19::INSTR" or "GPIB0::19::3::INSTR".
std::string gpibAddress(const GpibSettings& settings);

// Checks the addresses (INSTRIO_BAD_ARGUMENT), loads the driver (INSTRIO_NO_DRIVER) and opens the
// device (INSTRIO_CONNECT_FAILED). The device is taken off line again when the transport ends.
std::unique_ptr<Transport> openGpib(const GpibSettings& settings, const Deadline& deadline);

}  // namespace dot11b::instrio
