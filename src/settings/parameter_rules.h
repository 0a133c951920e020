// SPDX-License-Identifier: GPL-3.0-or-later
// The allowed values of the parameters record: applying "FIELD=VALUE" settings and checking a whole record.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/value.h"

namespace dot11b::settings {

// A setting or a record that breaks the rules; the message names the field and its allowed values.
struct ParameterError : std::invalid_argument {
  using std::invalid_argument::invalid_argument;
};

// Field paths that can be set, dotted for sub-records ("MACheader.Active",
// "MACheader.Contents.Address1.Contents").
std::vector<std::string> settableFields();

// Sets one field from its text (a number, 0x-prefixed hexadecimal for MAC header field contents, or text
// for dataSourceName) and re-derives MACheader.Length and totalLength; ProjectedLength follows once the
// whole record is checked (validateParameters, then deriveParameters). Choosing 1 Mbit/s selects the long
// preamble, as the format panel does. Throws ParameterError for an unknown or derived field or a value
// outside the field's allowed values.
void applySetting(rt::Value& parameters, std::string_view path, std::string_view text);

// Splits "FIELD=VALUE" and applies it.
void applyAssignment(rt::Value& parameters, std::string_view assignment);

// The lowest and highest value of a numeric field that takes a range, as the record's other fields make
// them (rampLength and idleSamples follow OverSampling, FilterFactor follows FilterType). Throws
// ParameterError for a field that takes a fixed list of values or none.
std::pair<double, double> allowedRange(const rt::Value& parameters, std::string_view path);

// The values of a field that takes a fixed list. Throws ParameterError for a field that does not.
std::vector<double> allowedChoices(std::string_view path);

// Checks every field that the generator and the panel rely on: present, of the right kind, inside its
// allowed values (including the rules between fields). Throws ParameterError naming the first bad field.
void validateParameters(const rt::Value& parameters);

// A field that bringing a record within the rules changed, with its value before and after.
struct Adjustment {
  std::string path;
  double before = 0, after = 0;
};

// Brings every numeric field inside its allowed values as the format panel brings in typed entries:
// whole-numbered fields rounded (halves away from zero) and clamped to their range, FilterFactor clamped to
// its filter's range, a field of a fixed list set to the nearest entry (NaN: the range's lower bound or the
// list's first entry), MAC header field contents rounded and clamped to their octets, MACheader.Length and
// MACfcs.Length set to what they must be. Fields that are missing or not one real number are left for
// validateParameters to refuse. Returns the changes in the order of the rules.
std::vector<Adjustment> bringWithinRules(rt::Value& parameters);

// totalLength, MACheader.Length (from the bit stream) and ProjectedLength from the other fields.
void deriveParameters(rt::Value& parameters);

}  // namespace dot11b::settings
