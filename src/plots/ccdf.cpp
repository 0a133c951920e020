// SPDX-License-Identifier: GPL-3.0-or-later
#include "plots/ccdf.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace dot11b::plots {

namespace {

constexpr int kThresholds = 201;
// Powers that are equal in exact arithmetic (a constant envelope) may differ in the last bit after the
// mean is taken; they count as reaching a threshold they meet within this margin.
constexpr double kToleranceDb = 1e-9;

}  // namespace

Samples ccdfTestSignal() {
  constexpr int points = 1000;
  const double pi = std::numbers::pi;
  Samples iq(points);
  for (int k = 0; k < points; ++k) {
    const double t1 = -pi + k * (2 * pi / (points - 1));
    const double t2 = -10 * pi + k * (20 * pi / (points - 1));
    const double am = 1.5 + std::cos(t1);
    iq[static_cast<std::size_t>(k)] = {am * std::cos(t2), am * std::sin(t2)};
  }
  return iq;
}

Ccdf computeCcdf(const Samples& given) {
  const Samples& iq = given.empty() ? ccdfTestSignal() : given;
  const std::size_t points = iq.size();
  Ccdf c;
  c.real = std::all_of(iq.begin(), iq.end(), [](const auto& s) { return s.imag() == 0; });

  std::vector<double> power(points);
  std::transform(iq.begin(), iq.end(), power.begin(), [](const auto& s) { return std::norm(s); });
  if (*std::min_element(power.begin(), power.end()) == 0)
    for (double& p : power) p += 1e-300;
  double sum = 0;
  for (double p : power) sum += p;
  if (sum == 0) sum = 1e-300;
  const double averageDb = 10 * std::log10(sum / static_cast<double>(points));

  std::vector<double>& relative = power;
  for (double& p : relative) p = 10 * std::log10(p) - averageDb;
  c.maxDb = std::max(*std::max_element(relative.begin(), relative.end()), 20.0);
  if (c.maxDb > 20) c.maxDb *= 1.01;
  std::sort(relative.begin(), relative.end());

  const double step = c.maxDb / (kThresholds - 1);
  bool anyZero = false;
  for (int k = 0; k < kThresholds; ++k) {
    const double x = k * step;
    const auto first = std::lower_bound(relative.begin(), relative.end(), x - kToleranceDb);
    const double percent = static_cast<double>(relative.end() - first) * 100 / static_cast<double>(points);
    anyZero = anyZero || percent == 0;
    c.thresholdsDb.push_back(x);
    c.measuredPercent.push_back(percent);
    c.referencePercent.push_back(c.real ? 100 * std::erfc(std::pow(10, x / 20) / std::numbers::sqrt2)
                                        : 100 * std::exp(-std::pow(10, x / 10)));
  }
  // The counts fall with the threshold: the last non-zero one is the smallest the axis must show.
  double smallest = *std::min_element(c.measuredPercent.begin(), c.measuredPercent.end());
  if (anyZero) {
    const auto nonZero =
        std::count_if(c.measuredPercent.begin(), c.measuredPercent.end(), [](double y) { return y != 0; });
    smallest = nonZero > 0 ? c.measuredPercent[static_cast<std::size_t>(nonZero - 1)] : 0;
    for (double& y : c.measuredPercent) y += 1e-300;
  }
  c.floorPercent = std::min(smallest, 0.001);
  return c;
}

}  // namespace dot11b::plots
