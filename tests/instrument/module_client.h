// SPDX-License-Identifier: GPL-3.0-or-later
// Test access to the instrument I/O module as the application uses it: libinstrIO.so loaded at
// run time, called through its C entry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "instrument/io/instrio.h"
#include "instrument/io/module_loader.h"
#include "scoped_env.h"
#include "waveform_fixtures.h"

namespace instrument_test {

// A connection record that owns its texts.
struct TestConnection {
  std::string type = "TCPIP";
  std::string address;
  std::string handshake = "Xon/Xoff";
  int32_t gpibBoard = 0;
  int32_t gpibPrimary = 19;
  int32_t gpibSecondary = -1;
  int32_t rs232Port = 1;
  int32_t rs232Baudrate = 9600;
  int32_t abiVersion = INSTRIO_ABI_VERSION;

  instrio_connection record() const;
};

TestConnection tcpTo(int port);
TestConnection serialPort(int32_t port, int32_t baud, const std::string& handshake);
TestConnection gpib(int32_t board, int32_t primary, int32_t secondary);

// The module's download arguments pointing into the waveform.
instrio_arguments arguments(const TestWaveform& w);

const dot11b::instrio::InstrioModule& module();

dot11b::instrio::ModuleReply ping(const TestConnection& c);
dot11b::instrio::ModuleReply send(const TestConnection& c, const std::string& command);
dot11b::instrio::ModuleReply query(const TestConnection& c, const std::string& text);
dot11b::instrio::ModuleReply download(const TestConnection& c, const TestWaveform& w);
dot11b::instrio::ModuleReply returnToLocal(const TestConnection& c);

}  // namespace instrument_test
