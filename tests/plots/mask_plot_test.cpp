// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "plots/csv_export.h"
#include "plots/mask_plot.h"

namespace dot11b::plots {
namespace {

// Equal, with NaN equal to NaN.
void expectRow(const std::vector<double>& row, const std::vector<double>& expected) {
  ASSERT_EQ(row.size(), expected.size());
  for (std::size_t k = 0; k < row.size(); ++k) {
    if (std::isnan(expected[k])) EXPECT_TRUE(std::isnan(row[k])) << k;
    else EXPECT_EQ(row[k], expected[k]) << k;
  }
}

TEST(MaskPlot, LimitBecomesAStepLineBrokenWhereNoLimitIsSet) {
  const std::vector<double> hz{-30e6, -20e6, -10e6, 0, 10e6, 20e6, 30e6};
  const std::vector<double> dbr{-73, -41, -12, 0, -12, -41, -68};
  const std::vector<double> limit{-50, -30, NAN, NAN, NAN, -30, -50};
  const MaskPlot p = computeMaskPlot(hz, dbr, limit, {{-30, 3.24}, {-50, NAN}});
  EXPECT_EQ(p.frequencyMhz, (std::vector<double>{-30, -20, -10, 0, 10, 20, 30}));
  expectRow(p.limitDbr, limit);
  // Each change of limit rises or falls halfway between the two points.
  expectRow(p.stepMhz, {-30, -25, -25, -15, NAN, 15, 25, 25, 30});
  expectRow(p.stepDbr, {-50, -50, -30, -30, NAN, -30, -30, -50, -50});
  EXPECT_EQ(p.fMin, -30);
  EXPECT_EQ(p.fMax, 30);
  EXPECT_EQ(p.dbMin, -80);  // whole tens below the lowest level
  EXPECT_EQ(p.dbMax, 10);
  EXPECT_EQ(p.maskLegend, "Mask (-30 dBr: 3.2 dB margin; -50 dBr: not measured)");
  EXPECT_EQ(p.title, "Spectrum Mask: passed");

  std::ostringstream csv;
  writeCsv(csv, p);
  EXPECT_EQ(csv.str().substr(0, csv.str().find('\n', csv.str().find('\n') + 1)),
            "\"Frequency off the carrier (MHz)\",\"Level (dBr)\",\"Limit (dBr)\"\n-30,-73,-50");
}

TEST(MaskPlot, AxisKeepsTheLowestLimitInViewVerdictAndRowsOfOtherLengths) {
  // A shallow spectrum still shows the -50 dBr limit, with room below it.
  const MaskPlot shallow = computeMaskPlot({-2e6, -1e6, 1e6}, {-20, -5, -7}, {NAN, -50, -50}, {{-50, -0.04}});
  EXPECT_EQ(shallow.dbMin, -60);
  EXPECT_EQ(shallow.stepMhz, (std::vector<double>{-1.5, 1}));
  EXPECT_EQ(shallow.stepDbr, (std::vector<double>{-50, -50}));
  EXPECT_EQ(shallow.maskLegend, "Mask (-50 dBr: 0.0 dB margin)");
  EXPECT_EQ(shallow.title, "Spectrum Mask: FAILED");
  const MaskPlot none = computeMaskPlot({}, {}, {}, {{-30, NAN}});
  EXPECT_EQ(none.title, "Spectrum Mask: not measured");
  EXPECT_THROW(computeMaskPlot({0, 1}, {0}, {0, 0}, {}), std::invalid_argument);
  EXPECT_THROW(computeMaskPlot({0, 1}, {0, 0}, {0}, {}), std::invalid_argument);
}

}  // namespace
}  // namespace dot11b::plots
