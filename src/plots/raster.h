// SPDX-License-Identifier: GPL-3.0-or-later
// Density images for views of very many points or lines (an eye of 240 000 traces, the trace of every
// sample in the I/Q plane): each cell counts the points or line pieces that pass through it, as the
// persistence display of an instrument shows them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace dot11b::plots {

class Raster {
 public:
  // `columns` x `rows` cells over [xMin, xMax] x [yMin, yMax]; row 0 at yMin.
  Raster(std::size_t columns, std::size_t rows, double xMin, double xMax, double yMin, double yMax);

  // Counts the cells the segment passes through (the part inside the area), its end cell excluded so
  // that a polyline counts each joint once (but for a segment that leaves the area there).
  void addSegment(double x0, double y0, double x1, double y1);
  void addPoint(double x, double y);
  // A point drawn as a dot three cells across: its cell and the eight around it (those inside the area).
  void addDot(double x, double y);

  std::size_t columns() const { return columns_; }
  std::size_t rows() const { return rows_; }
  double at(std::size_t column, std::size_t row) const { return hits_[row * columns_ + column]; }
  double total() const;
  // A raster of the same cells with no counts.
  Raster blank() const;
  // Adds the counts of a raster of the same shape.
  void merge(const Raster& other);

 private:
  double cellX(double x) const { return (x - xMin_) * xScale_; }
  double cellY(double y) const { return (y - yMin_) * yScale_; }
  // Counts one cell in each column (kAlongRows) or each row crossed by the segment from (a0, b0) to
  // (a1, b1), a along the walk, both ends inside the area; the end cell only when `endCellToo`.
  template <bool kAlongRows>
  void walk(double a0, double b0, double a1, double b1, bool endCellToo);

  std::size_t columns_, rows_;
  double xMin_, yMin_, xScale_, yScale_;
  double xInside_, yInside_;  // the largest cell coordinates inside the area
  std::vector<std::uint32_t> hits_;
};

}  // namespace dot11b::plots
