// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument_radio.h"

#include <stdexcept>
#include <string>

#include "runtime/library.h"
#include "settings/radio_connection.h"

namespace dot11b::rt {

namespace {

Values reply(double status, const std::string& description) {
  return {Value::scalar(status), Value::text(description)};
}

// The radio's fields of the record, checked, as the radio module's routines take them.
Value radioRecord(const Value& config) {
  const settings::RadioConnection radio = settings::radioConnection(config);
  Value record = Value::record();
  record.setField("args", Value::text(radio.args));
  record.setField("antenna", Value::text(radio.antenna));
  record.setField("channel", Value::scalar(radio.channel));
  record.setField("offset", Value::scalar(radio.offset));
  return record;
}

Values twoResults(const char* routine, const Values& in) {
  Values out = callByName(routine, in, 2);
  out.resize(2);
  return out;
}

template <typename Call>
Values guarded(Call&& call) {
  try {
    return call();
  } catch (const std::invalid_argument& e) {
    return reply(1, e.what());
  }
}

}  // namespace

bool onRadio(const Value& config) { return settings::isRadioConnection(config); }

Values radioDownload(const Value& config, const Value& iqData) {
  return guarded([&] { return twoResults("Dot11b_RadioLoad", {radioRecord(config), iqData}); });
}

Values radioPlayback(const Value& setting, const Value& config) {
  return guarded([&] { return twoResults("Dot11b_RadioPlay", {radioRecord(config), setting}); });
}

Values radioVerify(const Value& config) {
  return guarded([&] { return twoResults("Dot11b_RadioFind", {radioRecord(config)}); });
}

Values radioRefusal(std::string_view routine) {
  return reply(1, std::string(routine) + ": a radio takes no instrument commands");
}

}  // namespace dot11b::rt
