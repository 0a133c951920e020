// SPDX-License-Identifier: GPL-3.0-or-later
#include "plots/per_curves.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace dot11b::plots {

namespace {

constexpr double kSensitivityPer = 0.08;

}  // namespace

PerCurves computePerCurves(const std::vector<double>& snrDb, const std::vector<double>& per,
                           const std::vector<std::string>& names, double frames) {
  if (per.size() != snrDb.size() * names.size())
    throw std::invalid_argument("the PER plot needs one PER for each SNR and rate");
  PerCurves c;
  c.snrDb = snrDb;
  const std::size_t rows = names.size();
  for (std::size_t r = 0; r < rows; ++r) {
    PerCurve curve{names[r], {}};
    for (std::size_t n = 0; n < snrDb.size(); ++n) {
      const double value = per[n * rows + r];
      curve.per.push_back(value > 0 ? value : NAN);
    }
    c.curves.push_back(std::move(curve));
  }
  if (!snrDb.empty()) {
    c.snrMin = *std::min_element(snrDb.begin(), snrDb.end());
    c.snrMax = std::max(*std::max_element(snrDb.begin(), snrDb.end()), c.snrMin + 1);
  }
  c.snrTickStep = std::max(1.0, std::ceil((c.snrMax - c.snrMin) / 10));
  c.criterionSnr = {c.snrMin, c.snrMax};
  c.criterionPer = {kSensitivityPer, kSensitivityPer};
  // Half a lost frame's PER still lies above the axis' bottom.
  c.perMin = std::pow(10, std::floor(std::log10(0.5 / std::max(frames, 1.0))));
  return c;
}

}  // namespace dot11b::plots
