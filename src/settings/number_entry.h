// SPDX-License-Identifier: GPL-3.0-or-later
// What an edit field's text becomes: its numbers (one, several separated by blanks or commas, or none),
// rounded and clamped. A clamp compares the entry together with its bound: a lower clamp keeps the
// largest, an upper clamp the smallest of all values, so several numbers become one at the first clamp
// and an entry without a number takes the bound of the first clamp. NaN counts as no number.
//   Entry(text).round().atMost(9).atLeast(2).value()
#pragma once

#include <functional>
#include <string_view>
#include <vector>

namespace dot11b::settings {

class Entry {
 public:
  explicit Entry(std::string_view text);

  // Applies f to every number.
  Entry& map(const std::function<double(double)>& f);
  // To the nearest whole number, halves away from zero.
  Entry& round();
  Entry& atLeast(double lower);
  Entry& atMost(double upper);

  // The single number after a clamp; throws when the entry still holds none or several.
  double value() const;
  const std::vector<double>& numbers() const { return numbers_; }

 private:
  std::vector<double> numbers_;
};

}  // namespace dot11b::settings
