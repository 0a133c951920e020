// SPDX-License-Identifier: GPL-3.0-or-later
// The connection settings file: the configuration record kept between runs as the variable
// fileParameters of "defaults.mat" in the current folder.
#pragma once

#include <string>

#include "runtime/value.h"

namespace dot11b::files {

inline constexpr const char* kConnectionSettingsFile = "defaults.mat";

// A radio connection is written in an older reader's terms (settings::storedForm): the instrument fields
// as they were, the radio beside them.
// Writes the file (replacing it only once the new one is complete). Errors are not reported, as the
// settings are only a convenience; returns whether the file was written.
bool saveConnectionSettings(const rt::Value& configuration, const std::string& path = kConnectionSettingsFile);

// The stored record, or the empty value when the file is missing or unreadable, lacks fileParameters, or
// holds a record that the instrument link could not use (a connection type other than "GPIB", "RS232",
// "TCPIP", a field missing or of the wrong kind): then the start values stay in force. A stored radio
// connection is a radio again.
rt::Value loadConnectionSettings(const std::string& path = kConnectionSettingsFile);

// Throws std::invalid_argument naming the first field that a connection record cannot have.
void validateConfiguration(const rt::Value& configuration);

}  // namespace dot11b::files
