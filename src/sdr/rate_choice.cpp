// SPDX-License-Identifier: GPL-3.0-or-later
#include "sdr/rate_choice.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "runtime/shortest_text.h"

namespace dot11b::sdr {

namespace {

// A rate the radio takes within a relative 1e-9: radios list their rates as doubles computed from clocks.
bool near(double a, double b) { return std::abs(a - b) <= 1e-9 * std::max(std::abs(a), std::abs(b)); }

// The lowest rate of the range at `floor` or above, or NaN when the range ends below it.
double lowestFrom(const Range& r, double floor) {
  if (floor <= r.minimum) return r.minimum;
  if (floor > r.maximum && !near(floor, r.maximum)) return std::numeric_limits<double>::quiet_NaN();
  if (r.step <= 0) return floor;
  const double steps = (floor - r.minimum) / r.step;
  const double rate = r.minimum + (near(steps, std::round(steps)) ? std::round(steps) : std::ceil(steps)) * r.step;
  return rate <= r.maximum || near(rate, r.maximum) ? rate : std::numeric_limits<double>::quiet_NaN();
}

std::string megasamples(double rate) { return rt::shortestText(rate / 1e6); }

}  // namespace

bool supportsRate(const std::vector<Range>& ranges, double rate) {
  return std::any_of(ranges.begin(), ranges.end(), [&](const Range& r) { return near(lowestFrom(r, rate), rate); });
}

double chooseRate(const std::vector<Range>& ranges, double frameRate) {
  if (ranges.empty()) throw std::invalid_argument("the radio lists no sample rates");
  if (supportsRate(ranges, frameRate)) return frameRate;
  double best = std::numeric_limits<double>::infinity();
  double highest = 0;
  for (const Range& r : ranges) {
    if (const double rate = lowestFrom(r, kTwoSamplesAChip); rate < best) best = rate;
    highest = std::max(highest, r.maximum);
  }
  return std::isfinite(best) ? best : highest;
}

std::string ratesText(const std::vector<Range>& ranges) {
  std::string text;
  for (std::size_t k = 0; k < ranges.size(); ++k) {
    if (k > 0) text += k + 1 == ranges.size() ? " and " : ", ";
    const Range& r = ranges[k];
    text += megasamples(r.minimum);
    if (r.maximum > r.minimum) {
      text += " to " + megasamples(r.maximum);
      if (r.step > 0) text += " in steps of " + megasamples(r.step);
    }
  }
  return text + " Msample/s";
}

}  // namespace dot11b::sdr
