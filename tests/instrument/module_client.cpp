// SPDX-License-Identifier: GPL-3.0-or-later
#include "module_client.h"

namespace instrument_test {

instrio_connection TestConnection::record() const {
  instrio_connection r{};
  r.abi_version = abiVersion;
  r.type = type.c_str();
  r.gpib_board = gpibBoard;
  r.gpib_primary = gpibPrimary;
  r.gpib_secondary = gpibSecondary;
  r.rs232_port = rs232Port;
  r.rs232_baudrate = rs232Baudrate;
  r.rs232_handshake = handshake.c_str();
  r.tcpip_board = 0;
  r.tcpip_address = address.c_str();
  return r;
}

TestConnection tcpTo(int port) {
  TestConnection c;
  c.address = "127.0.0.1:" + std::to_string(port);
  return c;
}

TestConnection serialPort(int32_t port, int32_t baud, const std::string& handshake) {
  TestConnection c;
  c.type = "RS232";
  c.rs232Port = port;
  c.rs232Baudrate = baud;
  c.handshake = handshake;
  return c;
}

TestConnection gpib(int32_t board, int32_t primary, int32_t secondary) {
  TestConnection c;
  c.type = "GPIB";
  c.gpibBoard = board;
  c.gpibPrimary = primary;
  c.gpibSecondary = secondary;
  return c;
}

instrio_arguments arguments(const TestWaveform& w) {
  instrio_arguments a{};
  a.i_samples = w.i.data();
  a.q_samples = w.q.data();
  a.sample_count = w.i.size();
  a.marker1 = w.marker1.empty() ? nullptr : w.marker1.data();
  a.marker2 = w.marker2.empty() ? nullptr : w.marker2.data();
  a.title = w.title.c_str();
  a.normalization = w.normalization.c_str();
  a.scale = w.scale;
  return a;
}

const dot11b::instrio::InstrioModule& module() {
  static const dot11b::instrio::InstrioModule loaded(INSTRIO_MODULE_PATH);
  return loaded;
}

dot11b::instrio::ModuleReply ping(const TestConnection& c) {
  return module().execute(INSTRIO_PING, c.record(), nullptr);
}

dot11b::instrio::ModuleReply send(const TestConnection& c, const std::string& command) {
  instrio_arguments a{};
  a.text = command.c_str();
  return module().execute(INSTRIO_SEND, c.record(), &a);
}

dot11b::instrio::ModuleReply query(const TestConnection& c, const std::string& text) {
  instrio_arguments a{};
  a.text = text.c_str();
  return module().execute(INSTRIO_QUERY, c.record(), &a);
}

dot11b::instrio::ModuleReply download(const TestConnection& c, const TestWaveform& w) {
  const instrio_arguments a = arguments(w);
  return module().execute(INSTRIO_DOWNLOAD, c.record(), &a);
}

dot11b::instrio::ModuleReply returnToLocal(const TestConnection& c) {
  return module().execute(INSTRIO_RETURN_LOCAL, c.record(), nullptr);
}

}  // namespace instrument_test
