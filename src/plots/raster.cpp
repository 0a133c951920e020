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
      hits_(columns_ * rows_, 0) {}

void Raster::addPoint(double x, double y) {
  const double cx = cellX(x), cy = cellY(y);
  if (!(cx >= 0 && cx < static_cast<double>(columns_) && cy >= 0 && cy < static_cast<double>(rows_))) return;
  ++hits_[static_cast<std::size_t>(cy) * columns_ + static_cast<std::size_t>(cx)];
}

void Raster::addSegment(double x0, double y0, double x1, double y1) {
  double cx0 = cellX(x0), cy0 = cellY(y0), cx1 = cellX(x1), cy1 = cellY(y1);
  if (!std::isfinite(cx0 + cy0 + cx1 + cy1)) return;
  if (!clip(cx0, cy0, cx1, cy1, static_cast<double>(columns_), static_cast<double>(rows_))) return;
  // One cell per column crossed for a flat line, one per row for a steep one: the end cell is left to
  // the next segment. The line is sampled at the middle of each column (row).
  const auto c0 = static_cast<long>(cx0), c1 = static_cast<long>(cx1), r0 = static_cast<long>(cy0), r1 = static_cast<long>(cy1);
  const long lastColumn = static_cast<long>(columns_) - 1, lastRow = static_cast<long>(rows_) - 1;
  const auto count = [this](long c, long r) { ++hits_[static_cast<std::size_t>(r) * columns_ + static_cast<std::size_t>(c)]; };
  if (c0 == c1 && r0 == r1) {
    // A segment within one cell counts there once, unless it is only the joint of a longer line.
    if (cx0 != cx1 || cy0 != cy1) count(c0, r0);
    return;
  }
  if (std::abs(c1 - c0) >= std::abs(r1 - r0)) {
    const long step = c1 > c0 ? 1 : -1;
    const double slope = (cy1 - cy0) / (cx1 - cx0);
    for (long c = c0; c != c1; c += step) {
      const auto r = static_cast<long>(cy0 + (static_cast<double>(c) + 0.5 - cx0) * slope);
      count(c, std::clamp(r, 0L, lastRow));
    }
  } else {
    const long step = r1 > r0 ? 1 : -1;
    const double slope = (cx1 - cx0) / (cy1 - cy0);
    for (long r = r0; r != r1; r += step) {
      const auto c = static_cast<long>(cx0 + (static_cast<double>(r) + 0.5 - cy0) * slope);
      count(std::clamp(c, 0L, lastColumn), r);
    }
  }
}

double Raster::total() const { return static_cast<double>(std::accumulate(hits_.begin(), hits_.end(), std::uint64_t{0})); }

Raster Raster::blank() const {
  Raster r = *this;
  std::fill(r.hits_.begin(), r.hits_.end(), 0);
  return r;
}

void Raster::merge(const Raster& other) {
  for (std::size_t k = 0; k < hits_.size() && k < other.hits_.size(); ++k) hits_[k] += other.hits_[k];
}

}  // namespace dot11b::plots
