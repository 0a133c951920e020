// SPDX-License-Identifier: GPL-3.0-or-later
// A number that comes in from outside (an option, a field of a file, a script's argument) checked against
// the range it may take, with a message that names the value and the range. Header-only and free of the
// array type, so that the DSP core may state its own limits with it.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "runtime/shortest_text.h"

namespace dot11b::rt {

// A value outside its range: a bad argument, never a failure of the work itself.
class OutOfRange : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

// At most this many characters of a value the user gave are repeated in a message.
inline constexpr std::size_t kMaxEchoedCharacters = 80;

// The text as a message repeats it: whole when short, otherwise its start and how long it was.
inline std::string echoed(std::string_view text) {
  if (text.size() <= kMaxEchoedCharacters) return std::string(text);
  return std::string(text.substr(0, kMaxEchoedCharacters)) + "... (" + std::to_string(text.size()) + " characters)";
}

// "NAME VALUE UNIT is outside LOWEST to HIGHEST UNIT", or with `range` in place of the bounds' text
// ("the receiver's range of 1 MHz to 1 GHz"). A NaN is outside every range.
inline void requireInRange(std::string_view name, double value, double lowest, double highest,
                           std::string_view unit = {}, std::string_view range = {}) {
  if (value >= lowest && value <= highest) return;
  const std::string u = unit.empty() ? std::string() : " " + std::string(unit);
  const std::string bounds =
      range.empty() ? shortestText(lowest) + " to " + shortestText(highest) + u : std::string(range);
  throw OutOfRange(std::string(name) + " " + shortestText(value) + u + " is outside " + bounds);
}

// A quantity that must be greater than 0 and finite (a frequency, a duration).
inline void requirePositive(std::string_view name, double value, std::string_view unit = {}) {
  if (value > 0 && value <= 1.7976931348623157e308) return;
  const std::string u = unit.empty() ? std::string() : " " + std::string(unit);
  throw OutOfRange(std::string(name) + " " + shortestText(value) + u + " must be a finite number greater than 0");
}

}  // namespace dot11b::rt
