// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/field_text.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "runtime/number_text.h"
#include "runtime/shortest_text.h"
#include "settings/number_entry.h"

namespace dot11b::windows {

std::string fieldText(double shown, const std::function<bool(const std::string&)>& readsBack) {
  std::string text = rt::numberToText(shown);
  if (!std::isfinite(shown) || readsBack(text)) return text;
  // The shortest text of the value itself, then of its nearest neighbours: converting to the field's unit
  // and back (a division and a multiplication) can land one step beside the stored value.
  const std::string exact = rt::shortestText(shown);
  if (readsBack(exact)) return exact;
  double up = shown, down = shown;
  for (int step = 0; step < 4; ++step) {
    up = std::nextafter(up, std::numeric_limits<double>::infinity());
    down = std::nextafter(down, -std::numeric_limits<double>::infinity());
    for (double near : {up, down}) {
      text = rt::shortestText(near);
      if (readsBack(text)) return text;
    }
  }
  return exact;
}

double timesPowerOfTen(double x, int exponent) {
  if (!std::isfinite(x) || x == 0) return x;
  // The shortest digits that read back as x, in the form d.ddde±n; the exponent moved by `exponent`.
  char text[40];
  const std::to_chars_result end = std::to_chars(text, text + sizeof text, x, std::chars_format::scientific);
  std::string digits(text, end.ptr);
  const std::size_t e = digits.find('e');
  const std::string shifted = digits.substr(0, e) + "e" + std::to_string(std::stoi(digits.substr(e + 1)) + exponent);
  double y = 0;
  const std::from_chars_result read = std::from_chars(shifted.data(), shifted.data() + shifted.size(), y);
  return read.ec == std::errc() ? y : x * std::pow(10.0, exponent);
}

double entryInUnit(std::string_view text, int exponent, double lowest, double highest) {
  return settings::Entry(text)
      .map([exponent](double x) { return timesPowerOfTen(x, exponent); })
      .atMost(highest)
      .atLeast(lowest)
      .value();
}

}  // namespace dot11b::windows
