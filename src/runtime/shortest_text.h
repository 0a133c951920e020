// SPDX-License-Identifier: GPL-3.0-or-later
// A number in a message, as the user typed it: the shortest text that reads back as the same number (3, 5.5,
// 0.35, 1e-05), whole numbers in full (2412000000, not 2.412e+09), and "Inf", "-Inf" and "NaN" as the
// literals spell them. Header-only and free of the array type, so that the DSP core may use it too.
#pragma once

#include <charconv>
#include <cmath>
#include <string>

namespace dot11b::rt {

inline std::string shortestText(double x) {
  if (std::isnan(x)) return "NaN";
  if (std::isinf(x)) return x > 0 ? "Inf" : "-Inf";
  char text[32];  // the longest shortest form, "-2.2250738585072014e-308", has 24 characters
  const bool whole = x == std::trunc(x) && std::fabs(x) < 1e16;
  const std::to_chars_result end = whole ? std::to_chars(text, text + sizeof text, x == 0 ? 0.0 : x, std::chars_format::fixed)
                                         : std::to_chars(text, text + sizeof text, x);
  return std::string(text, end.ptr);
}

}  // namespace dot11b::rt
