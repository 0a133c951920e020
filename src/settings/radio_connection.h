// SPDX-License-Identifier: GPL-3.0-or-later
// A software-defined radio as the connection: the connection record with type "SOAPY" and the sub-record
// SOAPY (args, antenna, channel, offset). The record keeps the instrument fields beside it, so that the
// user can go back to the instrument; the connection settings file holds it in an older reader's terms
// (storedForm): the type of the instrument last chosen, and SOAPY with `selected` set.
#pragma once

#include <string>

#include "runtime/value.h"

namespace dot11b::settings {

inline constexpr const char* kRadioType = "SOAPY";

struct RadioConnection {
  std::string args;     // SoapySDR arguments: "driver=hackrf,serial=..."
  std::string antenna;  // "" leaves the radio's own choice
  double channel = 0;   // whole, from 0
  double offset = 0;    // [dB] output level = gain + offset; 0 until the radio is measured
};

// Whether the record's type is "SOAPY" (letter case ignored).
bool isRadioConnection(const rt::Value& config);
// The radio fields of the record, the defaults for those missing. Throws std::invalid_argument naming a
// field of the wrong kind (a channel that is not a whole number from 0, an offset that is not finite).
RadioConnection radioConnection(const rt::Value& config);
// The record with type "SOAPY" and the radio's fields; the instrument fields stay as they were.
rt::Value withRadio(rt::Value config, const RadioConnection& radio);
// The record with an instrument type (`type`, "GPIB", "RS232" or "TCPIP"), the radio's fields kept.
rt::Value withInstrument(rt::Value config, const std::string& type);

// What the file holds: an instrument type and SOAPY.selected (1 when the radio is the connection).
rt::Value storedForm(const rt::Value& config);
// The record of a stored one: a radio again when SOAPY.selected is 1 and its fields are sound; a stored
// record without SOAPY, or with one that is not sound, stays the instrument record it is.
rt::Value fromStoredForm(const rt::Value& stored);

}  // namespace dot11b::settings
