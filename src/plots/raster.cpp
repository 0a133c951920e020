#include "plots/raster.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace dot11b::plots {

namespace {

// Clips the segment p0 + t (p1 - p0), t in [0, 1], to [0, w) x [0, h) (Liang-Barsky); false when it
// misses the area.
bool clip(double& x0, double& y0, double& x1, double& y1, double w, double h) {
  double t0 = 0, t1 = 1;
  const double dx = x1 - x0, dy = y1 - y0;
  const auto edge = [&](double p, double q) {
    if (p == 0) return q >= 0;
    const double r = q / p;
    if (p < 0) {
      if (r > t1) return false;
      t0 = std::max(t0, r);
    } else {
      if (r < t0) return false;
      t1 = std::min(t1, r);
    }
    return true;
  };
  // Just inside the far edges, so that a clipped end still falls in the last cell.
  const double wIn = std::nextafter(w, 0.0), hIn = std::nextafter(h, 0.0);
  if (!edge(-dx, x0) || !edge(dx, wIn - x0) || !edge(-dy, y0) || !edge(dy, hIn - y0)) return false;
  x1 = x0 + t1 * dx;
  y1 = y0 + t1 * dy;
  x0 += t0 * dx;
  y0 += t0 * dy;
  return true;
}

}  // namespace

Raster::Raster(std::size_t columns, std::size_t rows, double xMin, double xMax, double yMin, double yMax)
    : columns_(std::max<std::size_t>(columns, 1)),
      rows_(std::max<std::size_t>(rows, 1)),
      xMin_(xMin),
      yMin_(yMin),
      xScale_(xMax > xMin ? static_cast<double>(columns_) / (xMax - xMin) : 0),
      yScale_(yMax > yMin ? static_cast<double>(rows_) / (yMax - yMin) : 0),
      hits_(columns_ * rows_, 0.0) {}

void Raster::addPoint(double x, double y) {
  const double cx = cellX(x), cy = cellY(y);
  if (!(cx >= 0 && cx < static_cast<double>(columns_) && cy >= 0 && cy < static_cast<double>(rows_))) return;
  hits_[static_cast<std::size_t>(cy) * columns_ + static_cast<std::size_t>(cx)] += 1;
}

void Raster::addSegment(double x0, double y0, double x1, double y1) {
  double cx0 = cellX(x0), cy0 = cellY(y0), cx1 = cellX(x1), cy1 = cellY(y1);
  if (!std::isfinite(cx0 + cy0 + cx1 + cy1)) return;
  if (!clip(cx0, cy0, cx1, cy1, static_cast<double>(columns_), static_cast<double>(rows_))) return;
  const auto steps = static_cast<std::size_t>(std::max(std::abs(std::floor(cx1) - std::floor(cx0)),
                                                       std::abs(std::floor(cy1) - std::floor(cy0))));
  if (steps == 0) {
    // A segment within one cell counts there once, unless it is only the joint of a longer line.
    if (cx0 != cx1 || cy0 != cy1) hits_[static_cast<std::size_t>(cy0) * columns_ + static_cast<std::size_t>(cx0)] += 1;
    return;
  }
  const double sx = (cx1 - cx0) / static_cast<double>(steps), sy = (cy1 - cy0) / static_cast<double>(steps);
  for (std::size_t k = 0; k < steps; ++k) {
    const auto c = static_cast<std::size_t>(cx0 + sx * static_cast<double>(k));
    const auto r = static_cast<std::size_t>(cy0 + sy * static_cast<double>(k));
    hits_[std::min(r, rows_ - 1) * columns_ + std::min(c, columns_ - 1)] += 1;
  }
}

double Raster::total() const { return std::accumulate(hits_.begin(), hits_.end(), 0.0); }

}  // namespace dot11b::plots
