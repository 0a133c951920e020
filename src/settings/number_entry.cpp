// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/number_entry.h"

#include <cmath>
#include <stdexcept>

#include "runtime/number_text.h"

namespace dot11b::settings {

namespace {

// The bound together with the entry's numbers, reduced by `better` (NaN never wins, as in a max or min of
// numbers).
double reduce(const std::vector<double>& numbers, double bound, bool keepLargest) {
  double best = bound;
  for (double x : numbers) {
    if (std::isnan(x)) continue;
    if (std::isnan(best) || (keepLargest ? x > best : x < best)) best = x;
  }
  return best;
}

}  // namespace

Entry::Entry(std::string_view text) : numbers_(rt::textToNumbers(text)) {}

Entry& Entry::map(const std::function<double(double)>& f) {
  for (double& x : numbers_) x = f(x);
  return *this;
}

Entry& Entry::round() {
  return map([](double x) { return std::round(x); });
}

Entry& Entry::atLeast(double lower) {
  numbers_ = {reduce(numbers_, lower, true)};
  return *this;
}

Entry& Entry::atMost(double upper) {
  numbers_ = {reduce(numbers_, upper, false)};
  return *this;
}

double Entry::value() const {
  if (numbers_.size() != 1) throw std::logic_error("an entry is one number only after a clamp");
  return numbers_.front();
}

}  // namespace dot11b::settings
