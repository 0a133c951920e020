// SPDX-License-Identifier: GPL-3.0-or-later
// Decimation for drawing: a curve of millions of points drawn as a few per pixel column, with nothing
// of its shape lost at that resolution.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace dot11b::plots {

struct Polyline {
  std::vector<double> x, y;
};

// The points of the curve (x ascending) that fall in [xFrom, xTo], reduced to the smallest and the
// largest y of each of `columns` equal columns, in the order they occur, and the nearest point outside
// on either side so that the line runs on to the edges. With no more than two points a column, every
// point is kept.
Polyline decimateMinMax(std::span<const double> x, std::span<const double> y, double xFrom, double xTo,
                        std::size_t columns);

}  // namespace dot11b::plots
