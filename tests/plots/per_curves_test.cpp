// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "plots/csv_export.h"
#include "plots/per_curves.h"

namespace dot11b::plots {
namespace {

TEST(PerCurves, RowsPerRateWithoutLossLeftOutOfTheLogarithmicAxis) {
  // Two rates at three SNRs, column-major: (1 Mbit/s, 11 Mbit/s) at 0, 5 and 10 dB.
  const PerCurves c = computePerCurves({0, 5, 10}, {0.5, 1, 0.01, 0.9, 0, 0.2}, {"1 Mbit/s", "11 Mbit/s"}, 200);
  ASSERT_EQ(c.curves.size(), 2u);
  EXPECT_EQ(c.curves[1].name, "11 Mbit/s");
  EXPECT_EQ(c.curves[1].per, (std::vector<double>{1, 0.9, 0.2}));
  EXPECT_EQ(c.curves[0].per[1], 0.01);
  EXPECT_TRUE(std::isnan(c.curves[0].per[2]));
  EXPECT_EQ(c.perMin, 1e-3);  // half of one frame in 200 is 0.0025
  EXPECT_EQ(c.criterionPer, (std::vector<double>{0.08, 0.08}));
  EXPECT_EQ(c.snrMin, 0);
  EXPECT_EQ(c.snrMax, 10);
  EXPECT_EQ(c.snrTickStep, 1);
  EXPECT_EQ(computePerCurves({-4, 14}, {1, 0}, {"1 Mbit/s"}, 200).snrTickStep, 2);
  std::ostringstream csv;
  writeCsv(csv, c);
  EXPECT_EQ(csv.str(), "\"SNR (dB)\",\"PER 1 Mbit/s\",\"PER 11 Mbit/s\"\n0,0.5,1\n5,0.01,0.9\n10,,0.2\n");
  EXPECT_THROW(computePerCurves({0, 5}, {0.5}, {"1 Mbit/s"}, 10), std::invalid_argument);
}

}  // namespace
}  // namespace dot11b::plots
