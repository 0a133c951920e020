// SPDX-License-Identifier: GPL-3.0-or-later
// Parameter values of the settings the simulator holds: parsing with SCPI suffixes and
// character data, range checks, and the text a query answers.
#pragma once

#include <string>
#include <vector>

#include "scpi_parser.h"

namespace sgsim {

enum class ValueKind {
  Frequency,  // number with suffix HZ, KHZ, MHZ or GHZ (none = Hz)
  Level,      // number with suffix DBM (none = dBm)
  Decibel,    // number with suffix DB
  Percent,    // number with suffix PCT
  Boolean,    // ON, OFF or a number (0 = off)
  Choice,     // one of `choices`, short or long form
  Filter,     // one of the frequencies in `steps` (with a frequency suffix) or THRough
  Name,       // a quoted "ARBI:<title>" of a stored waveform
};

struct ValueRule {
  ValueKind kind;
  double min = 0;                    // Frequency, Level, Decibel, Percent: allowed range
  double max = 0;
  std::vector<std::string> choices;  // Choice: SCPI forms, e.g. "POSitive"
  std::vector<double> steps;         // Filter: allowed frequencies [Hz]
};

// Canonical query text of the value, or ScpiError: -104 "Data type error", -131 "Invalid suffix",
// -222 "Data out of range", -224 "Illegal parameter value". Names are checked by the caller.
std::string canonicalValue(const ValueRule& rule, const Parameter& parameter);

// A number as a query answers it: whole values in full ("2412000000"), others with up to 12 digits.
std::string numberText(double value);

}  // namespace sgsim
