// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/link/module_connection.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <vector>

#include "runtime/binding.h"

namespace dot11b::instrument {

using rt::Value;

namespace {

// MATLAB-style int32 conversion: rounded half away from zero, limited to the int32 range.
Value toInt32(const Value& v, const std::string& path) {
  if (!v.isNumeric() || v.isComplex()) {
    throw std::invalid_argument("Formatconfig: field '" + path + "' must be a real number, not " + rt::describe(v));
  }
  std::vector<double> values = v.real();
  for (double& x : values) {
    if (std::isnan(x)) throw std::invalid_argument("Formatconfig: field '" + path + "' is not a number (NaN)");
    x = std::clamp(std::round(x), static_cast<double>(INT32_MIN), static_cast<double>(INT32_MAX));
  }
  Value converted = Value::matrix(v.rows(), v.cols(), std::move(values));
  converted.setNumericClass(rt::NumericClass::Int32);
  return converted;
}

void convertFields(Value& config, const char* group, std::initializer_list<const char*> names) {
  Value* sub = config.findField(group);
  if (sub == nullptr || !sub->isRecord()) return;
  for (const char* name : names) {
    if (Value* field = sub->findField(name)) *field = toInt32(*field, std::string(group) + "." + name);
  }
}

const Value& group(const Value& config, const char* name) {
  const Value* sub = config.findField(name);
  if (sub == nullptr || !sub->isRecord()) {
    throw std::invalid_argument(std::string("InstrIO: the connection record has no sub-record '") + name + "'");
  }
  return *sub;
}

std::string text(const Value& record, const char* name, const std::string& prefix = "") {
  const Value* field = record.findField(name);
  if (field == nullptr)
    throw std::invalid_argument("InstrIO: the connection record has no field '" + prefix + name + "'");
  return rt::toText(*field, {"InstrIO", prefix + name});
}

int32_t whole(const Value& config, const char* groupName, const char* name) {
  const std::string path = std::string(groupName) + "." + name;
  const Value* field = group(config, groupName).findField(name);
  if (field == nullptr) throw std::invalid_argument("InstrIO: the connection record has no field '" + path + "'");
  const double x = rt::toWhole(*field, {"InstrIO", path});
  if (x < INT32_MIN || x > INT32_MAX) throw std::invalid_argument("InstrIO: field '" + path + "' is out of range");
  return static_cast<int32_t>(x);
}

}  // namespace

Value formatConfig(const Value& config) {
  Value formatted = config;
  convertFields(formatted, "GPIB", {"board", "primary", "secondary"});
  convertFields(formatted, "RS232", {"port", "baudrate"});
  convertFields(formatted, "TCPIP", {"board"});
  return formatted;
}

ModuleConnection::ModuleConnection(const Value& config) {
  record_.abi_version = INSTRIO_ABI_VERSION;
  type_ = text(config, "type");
  record_.type = type_.c_str();
  // Only the fields of the chosen bus must be present; the module checks their values.
  std::string upper = type_;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper == "GPIB") {
    record_.gpib_board = whole(config, "GPIB", "board");
    record_.gpib_primary = whole(config, "GPIB", "primary");
    record_.gpib_secondary = whole(config, "GPIB", "secondary");
  } else if (upper == "RS232") {
    record_.rs232_port = whole(config, "RS232", "port");
    record_.rs232_baudrate = whole(config, "RS232", "baudrate");
    handshake_ = text(group(config, "RS232"), "handshake", "RS232.");
    record_.rs232_handshake = handshake_.c_str();
  } else if (upper == "TCPIP") {
    const Value& tcpip = group(config, "TCPIP");
    address_ = text(tcpip, "address", "TCPIP.");
    record_.tcpip_address = address_.c_str();
    record_.tcpip_board = tcpip.hasField("board") ? whole(config, "TCPIP", "board") : 0;
  }
}

}  // namespace dot11b::instrument
