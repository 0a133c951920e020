// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/connection_settings.h"

#include <cmath>
#include <stdexcept>

#include "files/safe_save.h"
#include "runtime/matfile/matfile.h"
#include "settings/radio_connection.h"

namespace dot11b::files {

using rt::Value;

namespace {

const Value& field(const Value& record, const std::string& path) {
  const Value* v = &record;
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = path.find('.', start);
    if (!v->isRecord()) throw std::invalid_argument("configuration." + path + ": missing");
    v = v->findField(path.substr(start, dot - start));
    if (!v) throw std::invalid_argument("configuration." + path + ": missing");
    if (dot == std::string::npos) return *v;
    start = dot + 1;
  }
}

void requireNumber(const Value& c, const std::string& path) {
  const Value& v = field(c, path);
  if (!v.isNumeric() || !v.isScalar() || v.isComplex() || !std::isfinite(v.re(0)))
    throw std::invalid_argument("configuration." + path + ": must be one finite number");
}

void requireText(const Value& c, const std::string& path, bool emptyAllowed) {
  const Value& v = field(c, path);
  const bool ok = (v.isText() && v.rows() <= 1) || (emptyAllowed && v.isEmpty() && !v.isRecord());
  if (!ok) throw std::invalid_argument("configuration." + path + ": must be text");
}

void requireChoice(const Value& c, const std::string& path, std::initializer_list<const char*> choices) {
  requireText(c, path, false);
  const std::string text = field(c, path).toUtf8();
  for (const char* choice : choices)
    if (text == choice) return;
  throw std::invalid_argument("configuration." + path + ": '" + text + "' is not allowed");
}

}  // namespace

void validateConfiguration(const Value& c) {
  if (!c.isRecord()) throw std::invalid_argument("configuration: must be a record");
  requireChoice(c, "type", {"GPIB", "RS232", "TCPIP"});
  for (const char* path : {"GPIB.board", "GPIB.primary", "GPIB.secondary", "RS232.port", "RS232.baudrate", "TCPIP.board"})
    requireNumber(c, path);
  requireText(c, "RS232.handshake", false);
  requireText(c, "TCPIP.address", true);
  requireChoice(c, "BBGtype", {"001", "002"});
  requireText(c, "LastParameterFilename", true);
}

bool saveConnectionSettings(const Value& configuration, const std::string& path) {
  try {
    saveReplacing(path, [&](const std::string& temporary) {
      rt::writeMatFile(temporary, {{"fileParameters", settings::storedForm(configuration)}});
    });
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

Value loadConnectionSettings(const std::string& path) {
  try {
    rt::MatReadLimits limits;
    limits.maxFileBytes = 1u << 20;
    limits.maxInflatedBytes = 4u << 20;
    Value stored;
    for (auto& [name, value] : rt::readMatFile(path, limits))
      if (name == "fileParameters") stored = std::move(value);
    validateConfiguration(stored);
    return settings::fromStoredForm(stored);
  } catch (const std::exception&) {
    return Value();
  }
}

}  // namespace dot11b::files
