// SPDX-License-Identifier: GPL-3.0-or-later
// What the axes of a plot window show, kept in full and reduced to the pixels on screen before each
// drawing: curves by minimum and maximum per pixel column, clouds of very many points or lines as a
// density image.
#pragma once

#include <QColor>
#include <QPen>
#include <functional>
#include <memory>
#include <vector>

#include "plots/raster.h"
#include "plots/views/plot_window.h"

class QCPGraph;
class QCPColorMap;
class QCPAbstractPlottable;

namespace dot11b::plots::views {

using Column = std::shared_ptr<const std::vector<double>>;

// A curve whose x values ascend (time, frequency).
QCPGraph* addCurve(PlotWindow& window, QCPAxisRect* axes, Column x, Column y, const QPen& pen);

// Fills a raster with items first .. end - 1 of what it shows (traces, points).
using RasterFill = std::function<void(Raster&, std::size_t first, std::size_t end)>;
// A density image of `items` things at the axes' pixel resolution, refilled after each zoom, the items
// shared out among the processor's cores; empty cells are clear, the others shaded from light to `color`
// (densityShades).
QCPColorMap* addDensity(PlotWindow& window, QCPAxisRect* axes, std::size_t items, RasterFill fill, const QColor& color);

// How a set of points in a plane is drawn: joined by lines, or as dots.
enum class Mark { kLine, kDot };
// Points (x[k], y[k]) in the order given; a NaN breaks the line. Drawn exactly up to a limit, as a density
// image beyond it, where a dot stays three pixels across as drawn exactly; the plottable that draws them.
QCPAbstractPlottable* addPlane(PlotWindow& window, QCPAxisRect* axes, Column x, Column y, Mark mark,
                               const QColor& color);

// Points in a plane above which a view is drawn as a density image.
inline constexpr std::size_t kExactPointLimit = 100000;

// Sets the axis ranges, guarding against an empty or flat range.
void setRanges(QCPAxisRect* axes, double xMin, double xMax, double yMin, double yMax);

}  // namespace dot11b::plots::views
