// SPDX-License-Identifier: GPL-3.0-or-later
// The instrument routines on a radio connection (type "SOAPY"): they hand the work to the radio module's
// routines by name, so that SoapySDR is loaded only when a radio is used.
#pragma once

#include <string_view>

#include "runtime/registry.h"
#include "runtime/value.h"

namespace dot11b::rt {

bool onRadio(const Value& config);
// Each returns (status, description) as the instrument routine it stands for.
Values radioDownload(const Value& config, const Value& iqData);
Values radioPlayback(const Value& setting, const Value& config);
Values radioVerify(const Value& config);
// A bus operation a radio does not have (a command, a query, a return to local).
Values radioRefusal(std::string_view routine);

}  // namespace dot11b::rt
