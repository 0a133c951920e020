// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/io/connection.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "instrument/io/bus_error.h"
#include "instrument/io/transports/tcp_transport.h"

namespace dot11b::instrio {
namespace {

[[noreturn]] void refuse(const std::string& why) { throw BusError(INSTRIO_BAD_ARGUMENT, "instrIO: " + why); }

std::string upper(const char* text) {
  std::string out = text;
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::toupper(c); });
  return out;
}

const char* required(const char* text, const char* field) {
  if (text == nullptr) refuse(std::string("the connection field ") + field + " is missing");
  return text;
}

}  // namespace

ConnectionSettings readConnection(const instrio_connection* record) {
  if (record == nullptr) refuse("no connection record was given");
  if (record->abi_version != INSTRIO_ABI_VERSION) {
    refuse("connection record of interface version " + std::to_string(record->abi_version) +
           "; this module reads version " + std::to_string(INSTRIO_ABI_VERSION));
  }
  const std::string type = upper(required(record->type, "type"));
  ConnectionSettings settings;
  if (type == "GPIB") {
    settings.type = BusType::Gpib;
    settings.gpib = {record->gpib_board, record->gpib_primary, record->gpib_secondary};
  } else if (type == "RS232") {
    settings.type = BusType::Rs232;
    settings.serial.port = record->rs232_port;
    settings.serial.device = serialDevicePath(record->rs232_port);
    settings.serial.baud = checkedBaudRate(record->rs232_baudrate);
    settings.serial.handshake = parseHandshake(required(record->rs232_handshake, "RS232.handshake"));
  } else if (type == "TCPIP") {
    settings.type = BusType::Tcpip;
    settings.tcp = parseTcpAddress(required(record->tcpip_address, "TCPIP.address"));
    settings.tcpBoard = record->tcpip_board;
  } else {
    refuse("connection type \"" + std::string(record->type) + "\" is not one of \"GPIB\", \"RS232\", \"TCPIP\"");
  }
  return settings;
}

std::unique_ptr<Transport> openTransport(const ConnectionSettings& settings, const Deadline& deadline,
                                         const TransferObserver* observer) {
  switch (settings.type) {
    case BusType::Gpib: return openGpib(settings.gpib, deadline);
    case BusType::Rs232: return openSerial(settings.serial);
    case BusType::Tcpip: return openTcp(settings.tcp, settings.tcpBoard, deadline, observer);
  }
  refuse("unknown connection type");
}

}  // namespace dot11b::instrio
