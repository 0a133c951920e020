// SPDX-License-Identifier: GPL-3.0-or-later
#include "plots/views/series.h"

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <thread>

#include "plots/decimate.h"
#include "plots/density_shades.h"

namespace dot11b::plots::views {

namespace {

// The visible ranges and the pixel size of the axes, so that a series is reduced again only when they
// changed.
struct ViewKey {
  double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
  int width = 0, height = 0;
  bool operator==(const ViewKey&) const = default;
};

ViewKey keyOf(const QCPAxisRect* a) {
  const QCPRange x = a->axis(QCPAxis::atBottom)->range(), y = a->axis(QCPAxis::atLeft)->range();
  return {x.lower, x.upper, y.lower, y.upper, a->width(), a->height()};
}

constexpr std::size_t kMaxDensityCells = 1024;

// The raster of all items, each core filling its share into a raster of its own; the counts add up to
// the same whatever the number of cores.
void fillInParallel(Raster& raster, std::size_t items, const RasterFill& fill) {
  const std::size_t cores = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 8);
  const std::size_t parts = items < 10000 ? 1 : cores;
  std::vector<Raster> shares(parts - 1, raster.blank());
  std::vector<std::thread> workers;
  const auto bound = [items, parts](std::size_t p) { return items * p / parts; };
  for (std::size_t p = 1; p < parts; ++p) workers.emplace_back([&, p] { fill(shares[p - 1], bound(p), bound(p + 1)); });
  fill(raster, 0, bound(1));
  for (std::thread& w : workers) w.join();
  for (const Raster& share : shares) raster.merge(share);
}

}  // namespace

QCPGraph* addCurve(PlotWindow& window, QCPAxisRect* a, Column x, Column y, const QPen& pen) {
  QCPGraph* graph = window.plot()->addGraph(a->axis(QCPAxis::atBottom), a->axis(QCPAxis::atLeft));
  graph->setPen(pen);
  graph->setAdaptiveSampling(false);  // the reduction below keeps every peak already
  auto last = std::make_shared<ViewKey>();
  window.addRefresher([graph, a, x, y, last] {
    const ViewKey key = keyOf(a);
    if (key == *last) return;
    *last = key;
    const Polyline p = decimateMinMax(*x, *y, key.x0, key.x1, static_cast<std::size_t>(std::max(key.width, 1)));
    QVector<QCPGraphData> points(static_cast<int>(p.x.size()));
    for (std::size_t k = 0; k < p.x.size(); ++k) points[static_cast<int>(k)] = {p.x[k], p.y[k]};
    graph->data()->set(points, true);
  });
  return graph;
}

QCPColorMap* addDensity(PlotWindow& window, QCPAxisRect* a, std::size_t items, RasterFill fill, const QColor& color) {
  auto* map = new QCPColorMap(a->axis(QCPAxis::atBottom), a->axis(QCPAxis::atLeft));
  QCPColorGradient shades;
  // From a tint of the colour for a single hit to the colour darkened for the most.
  const auto tint = [&color](double white) {
    return QColor::fromRgbF(white + (1 - white) * color.redF(), white + (1 - white) * color.greenF(),
                            white + (1 - white) * color.blueF());
  };
  shades.setColorStopAt(0, tint(0.8));
  shades.setColorStopAt(0.4, color);
  shades.setColorStopAt(1, color.darker(300));
  shades.setNanHandling(QCPColorGradient::nhTransparent);
  map->setGradient(shades);
  map->setInterpolate(false);
  map->setTightBoundary(true);
  auto last = std::make_shared<ViewKey>();
  window.addRefresher([map, a, items, fill = std::move(fill), last] {
    const ViewKey key = keyOf(a);
    if (key == *last || key.width <= 0 || key.height <= 0) return;
    *last = key;
    const auto columns = std::min<std::size_t>(static_cast<std::size_t>(key.width), kMaxDensityCells);
    const auto rows = std::min<std::size_t>(static_cast<std::size_t>(key.height), kMaxDensityCells);
    Raster raster(columns, rows, key.x0, key.x1, key.y0, key.y1);
    fillInParallel(raster, items, fill);
    // The data's range names the centres of the outer cells.
    const double dx = (key.x1 - key.x0) / static_cast<double>(columns),
                 dy = (key.y1 - key.y0) / static_cast<double>(rows);
    QCPColorMapData* data = map->data();
    data->setSize(static_cast<int>(columns), static_cast<int>(rows));
    data->setRange(QCPRange(key.x0 + dx / 2, key.x1 - dx / 2), QCPRange(key.y0 + dy / 2, key.y1 - dy / 2));
    const std::vector<double> shades = densityShades(raster);
    for (std::size_t r = 0; r < rows; ++r)
      for (std::size_t c = 0; c < columns; ++c)
        data->setCell(static_cast<int>(c), static_cast<int>(r), shades[r * columns + c]);
    map->setDataRange(QCPRange(0, 1));
  });
  return map;
}

QCPAbstractPlottable* addPlane(PlotWindow& window, QCPAxisRect* a, Column x, Column y, Mark mark, const QColor& color) {
  const std::size_t n = std::min(x->size(), y->size());
  if (n > kExactPointLimit) {
    const std::size_t items = mark == Mark::kDot ? n : n - 1;  // points, or the lines between them
    return addDensity(window, a, items, [x, y, mark](Raster& r, std::size_t first, std::size_t end) {
      const std::vector<double>& xs = *x;
      const std::vector<double>& ys = *y;
      for (std::size_t k = first; k < end; ++k) {
        if (mark == Mark::kDot) r.addDot(xs[k], ys[k]);
        else r.addSegment(xs[k], ys[k], xs[k + 1], ys[k + 1]);
      }
    }, color);
  }
  auto* curve = new QCPCurve(a->axis(QCPAxis::atBottom), a->axis(QCPAxis::atLeft));
  QVector<QCPCurveData> points(static_cast<int>(n));
  for (std::size_t k = 0; k < n; ++k) points[static_cast<int>(k)] = {static_cast<double>(k), (*x)[k], (*y)[k]};
  curve->data()->set(points, true);
  if (mark == Mark::kDot) {
    curve->setLineStyle(QCPCurve::lsNone);
    curve->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, color, color, 3));
  } else {
    curve->setPen(QPen(color));
  }
  return curve;
}

void setRanges(QCPAxisRect* a, double xMin, double xMax, double yMin, double yMax) {
  const auto widen = [](double& lo, double& hi) {
    if (!(hi > lo)) {
      const double pad = lo == 0 ? 1 : std::abs(lo) * 0.1;
      lo -= pad;
      hi += pad;
    }
  };
  widen(xMin, xMax);
  widen(yMin, yMax);
  a->axis(QCPAxis::atBottom)->setRange(xMin, xMax);
  a->axis(QCPAxis::atLeft)->setRange(yMin, yMax);
}

}  // namespace dot11b::plots::views
