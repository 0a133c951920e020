// SPDX-License-Identifier: GPL-3.0-or-later
// The five operations of the module, each over one open connection. Command texts and payloads
// are checked by the caller before the connection is opened (checkCommandText, buildDownloadPayload).
#pragma once

#include <string>

#include "instrument/io/download_payload.h"
#include "instrument/io/transports/transport.h"

namespace dot11b::instrio {

// *IDN?; returns the instrument's reply.
std::string ping(Transport& transport);

// Sends one command (its reply is read and returned when it is a query), then asks
// :SYSTem:ERRor?; an error number other than 0 is BusError INSTRIO_INSTRUMENT_ERROR whose text is
// the instrument's reply. With an observer, a cancel is heard while the replies are awaited.
std::string sendCommand(Transport& transport, const std::string& command, const TransferObserver* observer = nullptr);

// Sends one query and returns its reply.
std::string query(Transport& transport, const std::string& text);

// Sends the waveform and marker blocks, then checks :SYSTem:ERRor? as sendCommand does. With a progress
// callback, the bytes of both blocks are reported and the caller may cancel. A connection broken at any
// step is BusError INSTRIO_CONNECTION_LOST saying that the waveform transfer did not complete; no reply to
// the check is INSTRIO_TIMED_OUT saying that the instrument did not confirm the waveform.
void download(Transport& transport, const DownloadPayload& payload, const std::string& title,
              instrio_progress_fn progress = nullptr, void* progressContext = nullptr);

// Returns the instrument to front-panel control. Where that is a command (not a GPIB bus message), its
// error is read as after every command: a refusal throws BusError INSTRIO_INSTRUMENT_ERROR saying so.
void returnToLocal(Transport& transport);

}  // namespace dot11b::instrio
