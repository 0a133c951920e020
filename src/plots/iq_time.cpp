// SPDX-License-Identifier: GPL-3.0-or-later
#include "plots/iq_time.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace dot11b::plots {

IqTime computeIqTime(const Samples& given, double sampleRate) {
  if (!(sampleRate > 0)) sampleRate = 1;
  IqTime v;
  v.testData = given.empty();
  Samples test;
  if (v.testData) {
    const double pi = std::numbers::pi;
    for (int k = 0; k < 100; ++k) test.push_back(std::polar(1.0, -2 * pi + k * (4 * pi / 99)));
  }
  const Samples& iq = v.testData ? test : given;
  const std::size_t points = iq.size();
  v.i.resize(points);
  v.q.resize(points);
  v.time.resize(points);
  const double duration = static_cast<double>(points) / sampleRate;
  v.unit = timeUnit(duration);
  v.tMax = duration * v.unit.multiplier;
  for (std::size_t k = 0; k < points; ++k) {
    v.i[k] = iq[k].real();
    v.q[k] = iq[k].imag();
    v.amplitude = std::max({v.amplitude, std::abs(v.i[k]), std::abs(v.q[k])});
    v.time[k] = static_cast<double>(k) / sampleRate * v.unit.multiplier;
  }
  return v;
}

}  // namespace dot11b::plots
