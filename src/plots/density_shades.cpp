#include "plots/density_shades.h"

#include <algorithm>
#include <cmath>

namespace dot11b::plots {

std::vector<double> densityShades(const Raster& raster) {
  double most = 0;
  for (std::size_t r = 0; r < raster.rows(); ++r)
    for (std::size_t c = 0; c < raster.columns(); ++c) most = std::max(most, raster.at(c, r));
  std::vector<double> shades;
  shades.reserve(raster.rows() * raster.columns());
  for (std::size_t r = 0; r < raster.rows(); ++r) {
    for (std::size_t c = 0; c < raster.columns(); ++c) {
      const double hits = raster.at(c, r);
      shades.push_back(hits > 0 ? std::sqrt(hits / most) : NAN);
    }
  }
  return shades;
}

}  // namespace dot11b::plots
