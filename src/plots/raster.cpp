// SPDX-License-Identifier: GPL-3.0-or-later
#include "plots/raster.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace dot11b::plots {

namespace {

// Clips the segment p0 + t (p1 - p0), t in [0, 1], to [0, xMax] x [0, yMax] (Liang-Barsky); false when
// it misses the area. `endCut`: the segment went on beyond the area past its end point.
bool clip(double& x0, double& y0, double& x1, double& y1, double xMax, double yMax, bool& endCut) {
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
  if (!edge(-dx, x0) || !edge(dx, xMax - x0) || !edge(-dy, y0) || !edge(dy, yMax - y0)) return false;
  endCut = t1 < 1;
  // The cut points may round to just beyond the edge.
  x1 = std::clamp(x0 + t1 * dx, 0.0, xMax);
  y1 = std::clamp(y0 + t1 * dy, 0.0, yMax);
  x0 = std::clamp(x0 + t0 * dx, 0.0, xMax);
  y0 = std::clamp(y0 + t0 * dy, 0.0, yMax);
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
      // Just inside the far edges, so that a clipped end still falls in the last cell.
      xInside_(std::nextafter(static_cast<double>(columns_), 0.0)),
      yInside_(std::nextafter(static_cast<double>(rows_), 0.0)),
      hits_(columns_ * rows_, 0) {}

void Raster::addPoint(double x, double y) {
  const double cx = cellX(x), cy = cellY(y);
  if (!(cx >= 0 && cx < static_cast<double>(columns_) && cy >= 0 && cy < static_cast<double>(rows_))) return;
  ++hits_[static_cast<std::size_t>(cy) * columns_ + static_cast<std::size_t>(cx)];
}

void Raster::addDot(double x, double y) {
  const double cx = cellX(x), cy = cellY(y);
  if (!(cx >= 0 && cx < static_cast<double>(columns_) && cy >= 0 && cy < static_cast<double>(rows_))) return;
  const auto c = static_cast<std::size_t>(cx), r = static_cast<std::size_t>(cy);
  for (std::size_t row = r > 0 ? r - 1 : 0; row <= std::min(r + 1, rows_ - 1); ++row)
    for (std::size_t column = c > 0 ? c - 1 : 0; column <= std::min(c + 1, columns_ - 1); ++column)
      ++hits_[row * columns_ + column];
}

void Raster::addSegment(double x0, double y0, double x1, double y1) {
  double cx0 = cellX(x0), cy0 = cellY(y0), cx1 = cellX(x1), cy1 = cellY(y1);
  if (!std::isfinite(cx0 + cy0 + cx1 + cy1)) return;
  // Most segments of a view lie wholly inside: only the others pay for the clipping.
  const bool inside = std::min(cx0, cx1) >= 0 && std::max(cx0, cx1) <= xInside_ && std::min(cy0, cy1) >= 0 &&
                      std::max(cy0, cy1) <= yInside_;
  bool endCut = false;
  if (!inside && !clip(cx0, cy0, cx1, cy1, xInside_, yInside_, endCut)) return;
  const auto c0 = static_cast<long>(cx0), c1 = static_cast<long>(cx1), r0 = static_cast<long>(cy0),
             r1 = static_cast<long>(cy1);
  if (c0 == c1 && r0 == r1) {
    // A segment within one cell counts there once, unless it is only the joint of a longer line.
    if (cx0 != cx1 || cy0 != cy1) ++hits_[static_cast<std::size_t>(r0) * columns_ + static_cast<std::size_t>(c0)];
    return;
  }
  // One cell per column crossed for a flat line, one per row for a steep one. The end cell is left to the
  // next segment, so that a polyline counts each joint once, unless the line leaves the area there.
  if (std::abs(c1 - c0) >= std::abs(r1 - r0)) walk<true>(cx0, cy0, cx1, cy1, endCut);
  else walk<false>(cy0, cx0, cy1, cx1, endCut);
}

template <bool kAlongRows>
void Raster::walk(double a0, double b0, double a1, double b1, bool endCellToo) {
  const auto k0 = static_cast<long>(a0), k1 = static_cast<long>(a1);
  // The cells from k0 on towards k1, counted in ascending order.
  const long endCell = endCellToo ? 1 : 0;
  const long first = k1 > k0 ? k0 : k1 + 1 - endCell, end = k1 > k0 ? k1 + endCell : k0 + 1;
  // The line is sampled at the middle of each cell it walks.
  const double slope = (b1 - b0) / (a1 - a0), atZero = b0 + (0.5 - a0) * slope;
  const auto across = [atZero, slope](long k) { return static_cast<long>(atZero + static_cast<double>(k) * slope); };
  const long lastAcross = static_cast<long>(kAlongRows ? rows_ : columns_) - 1;
  std::uint32_t* const hits = hits_.data();
  const auto stride = static_cast<long>(columns_);
  const auto count = [hits, stride](long k, long b) { ++hits[kAlongRows ? b * stride + k : k * stride + b]; };
  // The samples run monotonically from one end to the other: when the first and the last fall inside,
  // all do. Only the middle of an end cell can lie beyond the edge, where the line ends close to it.
  const auto fits = [lastAcross](long b) { return b >= 0 && b <= lastAcross; };
  if (fits(across(first)) && fits(across(end - 1))) {
    for (long k = first; k < end; ++k) count(k, across(k));
  } else {
    for (long k = first; k < end; ++k) count(k, std::clamp(across(k), 0L, lastAcross));
  }
}

double Raster::total() const {
  return static_cast<double>(std::accumulate(hits_.begin(), hits_.end(), std::uint64_t{0}));
}

Raster Raster::blank() const {
  Raster r = *this;
  std::fill(r.hits_.begin(), r.hits_.end(), 0);
  return r;
}

void Raster::merge(const Raster& other) {
  for (std::size_t k = 0; k < hits_.size() && k < other.hits_.size(); ++k) hits_[k] += other.hits_[k];
}

}  // namespace dot11b::plots
