// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/radio_connection.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <stdexcept>

namespace dot11b::settings {

using rt::Value;

namespace {

constexpr const char* kRadio = "SOAPY";
// The instrument type the record goes back to, and that the file holds while the radio is chosen.
constexpr const char* kInstrumentType = "instrumentType";
constexpr const char* kSelected = "selected";

std::string upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
  return text;
}

std::string typeOf(const Value& config) {
  const Value* type = config.isRecord() ? config.findField("type") : nullptr;
  return type != nullptr && type->isText() ? type->toUtf8() : std::string();
}

bool isInstrumentType(const std::string& type) { return type == "GPIB" || type == "RS232" || type == "TCPIP"; }

const Value* radioField(const Value& config, const char* name) {
  const Value* radio = config.isRecord() ? config.findField(kRadio) : nullptr;
  return radio != nullptr && radio->isRecord() ? radio->findField(name) : nullptr;
}

std::string textField(const Value& config, const char* name) {
  const Value* v = radioField(config, name);
  if (v == nullptr || v->isEmpty()) return "";
  if (!v->isText() || v->rows() > 1)
    throw std::invalid_argument("configuration.SOAPY." + std::string(name) + ": must be text");
  return v->toUtf8();
}

double numberField(const Value& config, const char* name, double fallback) {
  const Value* v = radioField(config, name);
  if (v == nullptr) return fallback;
  if (!v->isNumeric() || !v->isScalar() || v->isComplex() || !std::isfinite(v->re(0)))
    throw std::invalid_argument("configuration.SOAPY." + std::string(name) + ": must be one finite number");
  return v->re(0);
}

// The SOAPY sub-record of `config`, or a new one.
Value radioRecord(const Value& config) {
  const Value* radio = config.isRecord() ? config.findField(kRadio) : nullptr;
  return radio != nullptr && radio->isRecord() ? *radio : Value::record();
}

Value without(const Value& record, std::string_view name) {
  Value out = Value::record();
  for (const auto& [field, value] : record.fields())
    if (field != name) out.setField(field, value);
  return out;
}

}  // namespace

bool isRadioConnection(const Value& config) { return upper(typeOf(config)) == kRadioType; }

RadioConnection radioConnection(const Value& config) {
  RadioConnection r;
  r.args = textField(config, "args");
  r.antenna = textField(config, "antenna");
  r.channel = numberField(config, "channel", 0);
  if (r.channel < 0 || r.channel > 1023 || r.channel != std::floor(r.channel))
    throw std::invalid_argument("configuration.SOAPY.channel: must be a whole number from 0 to 1023");
  r.offset = numberField(config, "offset", 0);
  return r;
}

Value withRadio(Value config, const RadioConnection& radio) {
  Value record = radioRecord(config);
  const std::string type = typeOf(config);
  if (isInstrumentType(type)) record.setField(kInstrumentType, Value::text(type));
  record.setField("args", Value::text(radio.args));
  record.setField("antenna", Value::text(radio.antenna));
  record.setField("channel", Value::scalar(radio.channel));
  record.setField("offset", Value::scalar(radio.offset));
  config.setField(kRadio, std::move(record));
  config.setField("type", Value::text(kRadioType));
  return config;
}

Value withInstrument(Value config, const std::string& type) {
  config.setField("type", Value::text(type));
  return config;
}

Value storedForm(const Value& config) {
  if (!config.isRecord()) return config;
  const bool radio = isRadioConnection(config);
  if (!radio && !config.hasField(kRadio)) return config;
  Value stored = config;
  Value record = radioRecord(config);
  record.setField(kSelected, Value::scalar(radio ? 1 : 0));
  if (radio) {
    const Value* before = record.findField(kInstrumentType);
    const std::string type = before != nullptr && before->isText() ? before->toUtf8() : "";
    stored.setField("type", Value::text(isInstrumentType(type) ? type : "GPIB"));
  }
  stored.setField(kRadio, std::move(record));
  return stored;
}

Value fromStoredForm(const Value& stored) {
  const Value* selected = radioField(stored, kSelected);
  if (selected == nullptr) return stored;
  Value config = stored;
  config.setField(kRadio, without(radioRecord(stored), kSelected));
  try {
    if (!selected->isNumeric() || selected->isEmpty() || selected->re(0) != 1) return config;
    return withRadio(config, radioConnection(config));
  } catch (const std::invalid_argument&) {
    // A radio record that is not sound leaves the instrument as the connection.
    return without(config, kRadio);
  }
}

}  // namespace dot11b::settings
