// SPDX-License-Identifier: GPL-3.0-or-later
#include "plots/mask_plot.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <sstream>
#include <stdexcept>

namespace dot11b::plots {

namespace {

std::string legendOf(const std::vector<MaskMargin>& regions) {
  if (regions.empty()) return "Mask";
  std::ostringstream text;
  text << "Mask (" << std::fixed << std::setprecision(1);
  for (std::size_t k = 0; k < regions.size(); ++k) {
    text << (k > 0 ? "; " : "") << std::setprecision(0) << regions[k].limitDbr << " dBr: " << std::setprecision(1);
    const double margin = regions[k].marginDb;
    if (std::isnan(margin)) text << "not measured";
    else
      text << std::round(margin * 10) / 10 + 0.0 << " dB margin";  // a margin that rounds to zero reads 0.0, not -0.0
  }
  text << ")";
  return text.str();
}

std::string titleOf(const std::vector<MaskMargin>& regions) {
  bool measured = false, failed = false;
  for (const MaskMargin& r : regions) {
    measured = measured || !std::isnan(r.marginDb);
    failed = failed || r.marginDb < 0;
  }
  return std::string("Spectrum Mask: ") + (!measured ? "not measured" : failed ? "FAILED" : "passed");
}

bool sameLimit(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

// One horizontal stretch for each run of points with the same limit; runs side by side join by a vertical
// edge, and a run without a limit breaks the line.
void addStepLine(MaskPlot& p) {
  const std::vector<double>& f = p.frequencyMhz;
  const std::size_t n = f.size();
  for (std::size_t first = 0, last = 0; first < n; first = last + 1) {
    last = first;
    while (last + 1 < n && sameLimit(p.limitDbr[last + 1], p.limitDbr[first])) ++last;
    const double limit = p.limitDbr[first];
    if (std::isnan(limit)) continue;
    const double left = first == 0 ? f.front() : (f[first - 1] + f[first]) / 2;
    const double right = last + 1 == n ? f.back() : (f[last] + f[last + 1]) / 2;
    if (!p.stepMhz.empty() && p.stepMhz.back() != left) {
      p.stepMhz.push_back(NAN);
      p.stepDbr.push_back(NAN);
    }
    p.stepMhz.insert(p.stepMhz.end(), {left, right});
    p.stepDbr.insert(p.stepDbr.end(), {limit, limit});
  }
}

}  // namespace

MaskPlot computeMaskPlot(const std::vector<double>& frequencyHz, const std::vector<double>& dbr,
                         const std::vector<double>& limitDbr, const std::vector<MaskMargin>& regions) {
  if (dbr.size() != frequencyHz.size() || limitDbr.size() != frequencyHz.size())
    throw std::invalid_argument("the spectrum mask needs as many levels and limits as frequencies");
  MaskPlot p;
  p.maskLegend = legendOf(regions);
  p.title = titleOf(regions);
  const std::size_t n = frequencyHz.size();
  if (n == 0) return p;
  double lowest = 0;
  for (std::size_t k = 0; k < n; ++k) {
    p.frequencyMhz.push_back(frequencyHz[k] / 1e6);
    p.measuredDbr.push_back(dbr[k]);
    p.limitDbr.push_back(limitDbr[k]);
    for (double level : {dbr[k], limitDbr[k]})
      if (std::isfinite(level)) lowest = std::min(lowest, level);
  }
  addStepLine(p);
  p.fMin = p.frequencyMhz.front();
  p.fMax = p.frequencyMhz.back();
  p.dbMin = std::min(-60.0, 10 * std::floor(std::max(lowest, -200.0) / 10 - 1e-9));
  return p;
}

}  // namespace dot11b::plots
