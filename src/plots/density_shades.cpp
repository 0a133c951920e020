// SPDX-License-Identifier: GPL-3.0-or-later
#include "plots/density_shades.h"

#include <algorithm>
#include <cmath>

namespace dot11b::plots {

namespace {

// The count drawn darkest: that of the 99th percentile of the cells that were hit, not the largest count.
// A few crowded cells (a long idle interval piles up on one point) would otherwise fade everything else,
// the clusters of symbols too.
double darkestCount(const Raster& raster) {
  std::vector<double> counts;
  for (std::size_t r = 0; r < raster.rows(); ++r)
    for (std::size_t c = 0; c < raster.columns(); ++c)
      if (raster.at(c, r) > 0) counts.push_back(raster.at(c, r));
  if (counts.empty()) return 1;
  const auto rank = counts.begin() + static_cast<std::ptrdiff_t>((counts.size() - 1) * 99 / 100);
  std::nth_element(counts.begin(), rank, counts.end());
  return *rank;
}

}  // namespace

std::vector<double> densityShades(const Raster& raster) {
  const double darkest = darkestCount(raster);
  std::vector<double> shades;
  shades.reserve(raster.rows() * raster.columns());
  for (std::size_t r = 0; r < raster.rows(); ++r) {
    for (std::size_t c = 0; c < raster.columns(); ++c) {
      // The square root keeps rare paths visible beside the common ones.
      const double hits = raster.at(c, r);
      shades.push_back(hits > 0 ? std::sqrt(std::min(hits / darkest, 1.0)) : NAN);
    }
  }
  return shades;
}

}  // namespace dot11b::plots
