// SPDX-License-Identifier: GPL-3.0-or-later
// Conversions between numbers and text as the windows and instrument commands use them.
#pragma once

#include "runtime/shared_api.h"

#include <complex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dot11b::rt {

// The default number-to-text conversion: whole values in full without a decimal point; other values
// of magnitude >= 1 with at most four decimals, smaller ones with five significant digits; trailing
// zeros dropped; "Inf", "-Inf", "NaN".
DOT11B_SHARED std::string numberToText(double x);
std::string numberToText(std::complex<double> z);
// A row of numbers, separated by two blanks.
std::string numbersToText(const std::vector<double>& row);

// Text to numbers: one number or several separated by blanks or commas (decimal, exponent, Inf, NaN,
// leading sign). Text that is not entirely numbers gives an empty list. Text is parsed, never evaluated.
std::vector<double> textToNumbers(std::string_view text);

// One real number in the forms above, or nothing.
std::optional<double> parseReal(std::string_view token);

}  // namespace dot11b::rt
