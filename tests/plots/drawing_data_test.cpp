// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>

#include "plots/csv_export.h"
#include "plots/decimate.h"
#include "plots/density_shades.h"
#include "plots/raster.h"
#include "plots/waterfall.h"

namespace dot11b::plots {
namespace {

TEST(Decimation, KeepsEveryPeakOfEachColumn) {
  const std::size_t n = 100000;
  std::vector<double> x(n), y(n);
  for (std::size_t k = 0; k < n; ++k) {
    x[k] = static_cast<double>(k);
    y[k] = std::sin(static_cast<double>(k) * 0.001);
  }
  y[12345] = 50;   // single-sample spikes, as a ramp edge or a glitch
  y[77777] = -50;
  const Polyline p = decimateMinMax(x, y, 0, static_cast<double>(n - 1), 500);
  EXPECT_LE(p.x.size(), 1002u);
  EXPECT_EQ(*std::max_element(p.y.begin(), p.y.end()), 50);
  EXPECT_EQ(*std::min_element(p.y.begin(), p.y.end()), -50);
  EXPECT_TRUE(std::is_sorted(p.x.begin(), p.x.end()));

  // Zoomed in: the visible part with one point beyond either edge; few points are kept as they are.
  const Polyline zoom = decimateMinMax(x, y, 100.5, 110.5, 500);
  EXPECT_EQ(zoom.x.front(), 100);
  EXPECT_EQ(zoom.x.back(), 111);
  EXPECT_EQ(zoom.x.size(), 12u);
  EXPECT_TRUE(decimateMinMax({}, {}, 0, 1, 10).x.empty());
}

TEST(RasterImage, CountsSegmentsAndPoints) {
  Raster r(10, 4, 0, 10, 0, 4);
  r.addSegment(0.5, 1.5, 9.5, 1.5);  // crosses nine cells of row 1, the end cell excluded
  EXPECT_EQ(r.total(), 9);
  EXPECT_EQ(r.at(0, 1), 1);
  EXPECT_EQ(r.at(9, 1), 0);
  r.addSegment(-100, 0.5, 100, 0.5);  // clipped to the area: all ten cells of row 0
  for (std::size_t c = 0; c < 10; ++c) EXPECT_EQ(r.at(c, 0), 1) << c;
  r.addSegment(20, 20, 30, 30);  // outside
  r.addPoint(3.2, 3.9);
  r.addPoint(10, 1);  // on the far edge: outside
  EXPECT_EQ(r.at(3, 3), 1);
  EXPECT_EQ(r.total(), 20);
}

TEST(RasterImage, LineThroughTheWholeAreaCountsEveryCellItCrossesOnceWhicheverWayItRuns) {
  struct Case {
    double x0, y0, x1, y1;
    std::size_t column, row;  // the line runs along this column (row == 9) or this row (column == 9)
  };
  for (const Case& c : std::vector<Case>{{-100, 0.5, 100, 0.5, 9, 0},
                                         {100, 2.5, -100, 2.5, 9, 2},
                                         {3.5, -100, 3.5, 100, 3, 9},
                                         {6.5, 100, 6.5, -100, 6, 9}}) {
    Raster r(8, 4, 0, 8, 0, 4);
    r.addSegment(c.x0, c.y0, c.x1, c.y1);
    for (std::size_t column = 0; column < 8; ++column)
      for (std::size_t row = 0; row < 4; ++row)
        EXPECT_EQ(r.at(column, row), column == c.column || row == c.row ? 1 : 0)
            << c.x0 << " " << c.y0 << ": " << column << "," << row;
  }
}

TEST(RasterImage, DotCountsItsCellAndTheNeighboursInsideTheArea) {
  Raster r(4, 3, 0, 4, 0, 3);
  r.addDot(1.5, 1.5);  // columns 0 to 2, rows 0 to 2
  r.addDot(3.9, 2.9);  // in the corner: columns 2 and 3, rows 1 and 2
  r.addDot(4, 1);      // on the far edge: outside
  const std::vector<std::vector<double>> expected{{1, 1, 1, 0}, {1, 1, 2, 1}, {1, 1, 2, 1}};  // row by row
  for (std::size_t row = 0; row < 3; ++row)
    for (std::size_t column = 0; column < 4; ++column)
      EXPECT_EQ(r.at(column, row), expected[row][column]) << column << "," << row;
}

TEST(DensityShades, AFewCrowdedCellsDoNotFadeTheRest) {
  // A path of 200 cells hit once, a cluster of 20 cells hit 400 times each, and one cell hit a million
  // times, as a long idle interval piles up at the origin.
  Raster r(300, 1, 0, 300, 0, 1);
  const auto hit = [&r](double x, int times) {
    for (int k = 0; k < times; ++k) r.addPoint(x, 0.5);
  };
  for (int c = 0; c < 200; ++c) hit(c + 0.5, 1);
  for (int c = 200; c < 220; ++c) hit(c + 0.5, 400);
  hit(250.5, 1000000);
  const std::vector<double> shades = densityShades(r);
  ASSERT_EQ(shades.size(), 300u);
  EXPECT_DOUBLE_EQ(shades[0], 0.05);  // the square root of 1/400: light, but there
  EXPECT_EQ(shades[210], 1);          // the cluster is as dark as the crowded cell
  EXPECT_EQ(shades[250], 1);
  EXPECT_TRUE(std::isnan(shades[230]));  // empty cells stay clear
}

TEST(WaterfallSlices, ToneStepsAcrossTheSlices) {
  // 4 slices of 100 samples at 1 MHz; the tone hops from +100 kHz to -200 kHz halfway.
  Samples iq(400);
  for (std::size_t k = 0; k < iq.size(); ++k) {
    const double f = k < 200 ? 0.1 : -0.2;
    iq[k] = std::polar(1.0, 2 * std::numbers::pi * f * static_cast<double>(k));
  }
  const Waterfall w = computeWaterfall(iq, 1e6, 100e-6);
  ASSERT_EQ(w.slices, 4u);
  ASSERT_EQ(w.bins, 100u);
  EXPECT_EQ(w.frequencyUnit.name, "MHz");
  EXPECT_EQ(w.timeUnit.name, "uS");
  EXPECT_DOUBLE_EQ(w.duration, 400);
  EXPECT_EQ(w.sliceStart[2], 200);
  const auto peakBin = [&w](std::size_t slice) {
    std::size_t best = 0;
    for (std::size_t k = 1; k < w.bins; ++k)
      if (w.at(slice, k) > w.at(slice, best)) best = k;
    return w.frequency[best];
  };
  EXPECT_NEAR(peakBin(0), 0.1, 1e-12);
  EXPECT_NEAR(peakBin(3), -0.2, 1e-12);
  EXPECT_EQ(*std::max_element(w.db.begin(), w.db.end()), 0);
  EXPECT_GE(*std::min_element(w.db.begin(), w.db.end()), -100);
  // Ten columns of ten bins each keep the peak of their group.
  const std::vector<double> columns = peakColumns(w, 0, 0, 100, 10);
  EXPECT_EQ(columns[6], 0);  // +0.1 MHz is bin 60 of 100
  EXPECT_LT(columns[5], -20);
  const std::vector<double> zoomed = peakColumns(w, 0, 55, 65, 100);  // fewer bins than columns: one each
  ASSERT_EQ(zoomed.size(), 10u);
  EXPECT_EQ(zoomed[5], 0);

  EXPECT_THROW(computeWaterfall({}, 1e6, 1e-6), std::invalid_argument);
  EXPECT_THROW(computeWaterfall(iq, 1e6, 0), std::invalid_argument);
  EXPECT_EQ(computeWaterfall(iq, 1e6, 1).slices, 1u);  // a slice longer than the waveform: one slice of all
}

TEST(CsvTables, HeaderThenEveryPointInFull) {
  std::ostringstream out;
  writeCsv(out, {"a", "b (dB)"}, 3, [](std::size_t r, std::span<double> cells) {
    cells[0] = 0.1 * static_cast<double>(r);
    if (r != 1) cells[1] = -1.0 / 3;
  });
  EXPECT_EQ(out.str(), "\"a\",\"b (dB)\"\n0,-0.3333333333333333\n0.1,\n0.2,-0.3333333333333333\n");

  Samples iq(11, {1, 2});
  std::ostringstream eye;
  writeCsv(eye, computeEye(iq, clampEye({5, 1e-6, 0})));
  // Two traces of 5 + 1 points.
  const std::string text = eye.str();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 13);
  EXPECT_EQ(text.substr(0, text.find('\n')), "\"Trace\",\"Time (uS)\",\"I (V)\",\"Q (V)\"");
  EXPECT_THROW(writeCsvFile("/nonexistent-folder/x.csv", [](std::ostream&) {}), std::runtime_error);
}

}  // namespace
}  // namespace dot11b::plots
