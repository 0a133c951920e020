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
  int32_t gpib_board = 0;
  int32_t gpib_primary = 19;
  int32_t gpib_secondary = -1;
  int32_t rs232_port = 1;
  int32_t rs232_baudrate = 9600;
  int32_t abi_version = INSTRIO_ABI_VERSION;

  instrio_connection record() const;
};

TestConnection tcp_to(int port);
TestConnection serial_port(int32_t port, int32_t baud, const std::string& handshake);
TestConnection gpib(int32_t board, int32_t primary, int32_t secondary);

// The module's download arguments pointing into the waveform.
instrio_arguments arguments(const TestWaveform& w);

const dot11b::instrio::InstrioModule& module();

dot11b::instrio::ModuleReply ping(const TestConnection& c);
dot11b::instrio::ModuleReply send(const TestConnection& c, const std::string& command);
dot11b::instrio::ModuleReply query(const TestConnection& c, const std::string& text);
dot11b::instrio::ModuleReply download(const TestConnection& c, const TestWaveform& w);
dot11b::instrio::ModuleReply return_to_local(const TestConnection& c);

}  // namespace instrument_test
