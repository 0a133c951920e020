// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "plots/ccdf.h"

namespace dot11b::plots {
namespace {

TEST(Ccdf, EmptyWaveformIsTheTestSignal) {
  const Samples test = ccdfTestSignal();
  ASSERT_EQ(test.size(), 1000u);
  // am = 1.5 + cos(t1), t1 from -pi: the first sample is (1.5 - 1) * exp(-j 10 pi).
  EXPECT_NEAR(test.front().real(), 0.5, 1e-12);
  EXPECT_NEAR(test.front().imag(), 0, 1e-12);
  const Ccdf fromEmpty = computeCcdf({});
  const Ccdf fromTest = computeCcdf(test);
  EXPECT_EQ(fromEmpty.measuredPercent, fromTest.measuredPercent);
  EXPECT_EQ(fromEmpty.maxDb, fromTest.maxDb);
}

TEST(Ccdf, ThresholdAxisReachesTwentyDbOrOnePercentPastThePeak) {
  // A peak below 20 dB above average: the axis ends at exactly 20 dB.
  const Ccdf low = computeCcdf({{1, 0}, {0, 2}, {1, 1}, {0.5, 0}});
  EXPECT_EQ(low.maxDb, 20);
  ASSERT_EQ(low.thresholdsDb.size(), 201u);
  EXPECT_EQ(low.thresholdsDb.front(), 0);
  EXPECT_DOUBLE_EQ(low.thresholdsDb.back(), 20);
  EXPECT_DOUBLE_EQ(low.thresholdsDb[1], 0.1);

  // One sample 30 dB above the average power: the axis ends at 30.3 dB.
  // With N samples, one of power P and the rest of power p, the average is (P + (N-1)p) / N, so
  // P = 1000 (N-1) p / (N - 1000) is 1000 times the average.
  const double n = 100000, rest = 1e-6;
  Samples iq(static_cast<std::size_t>(n), {1e-3, 0});
  iq[0] = {std::sqrt(1000 * (n - 1) * rest / (n - 1000)), 0};
  const Ccdf high = computeCcdf(iq);
  EXPECT_NEAR(high.maxDb, 30.3, 1e-9);
}

TEST(Ccdf, CountsInPercentAndTheFloor) {
  // Powers relative to an average of 2.5: 1, 1, 1 and 7 (7/2.5 = 4.47 dB).
  const Ccdf c = computeCcdf({{1, 0}, {1, 0}, {1, 0}, {std::sqrt(7.0), 0}});
  EXPECT_EQ(c.measuredPercent[0], 25 + 1e-300);  // only the strong sample is at or above 0 dB
  // 4.47 dB lies between thresholds 44 (4.4 dB) and 45 (4.5 dB).
  EXPECT_DOUBLE_EQ(c.measuredPercent[44], 25);
  EXPECT_EQ(c.measuredPercent[45], 1e-300);
  EXPECT_EQ(c.floorPercent, 0.001);
  EXPECT_TRUE(c.real);
}

TEST(Ccdf, RealSignalsMeetErfcComplexOnesTheExponential) {
  const Ccdf real = computeCcdf({{1, 0}, {-2, 0}});
  const Ccdf complex = computeCcdf({{1, 0}, {0, -2}});
  EXPECT_TRUE(real.real);
  EXPECT_FALSE(complex.real);
  for (std::size_t k : {0u, 30u, 100u}) {
    const double x = real.thresholdsDb[k];
    EXPECT_DOUBLE_EQ(real.referencePercent[k], 100 * std::erfc(std::pow(10, x / 20) / std::numbers::sqrt2));
    EXPECT_DOUBLE_EQ(complex.referencePercent[k], 100 * std::exp(-std::pow(10, x / 10)));
  }
  EXPECT_DOUBLE_EQ(complex.referencePercent[0], 100 * std::exp(-1.0));
}

TEST(Ccdf, ConstantEnvelopeIsAllAtZeroDb) {
  Samples iq;
  for (int k = 0; k < 1000; ++k) iq.push_back(std::polar(0.7, 0.1 * k));
  const Ccdf c = computeCcdf(iq);
  EXPECT_EQ(c.measuredPercent[0], 100 + 1e-300);
  for (std::size_t k = 1; k < c.measuredPercent.size(); ++k) EXPECT_EQ(c.measuredPercent[k], 1e-300) << k;
  EXPECT_LE(c.floorPercent, 0.001);
  EXPECT_EQ(c.maxDb, 20);
}

TEST(Ccdf, AllZeroPowerStaysFinite) {
  const Ccdf c = computeCcdf(Samples(50, {0, 0}));
  for (double y : c.measuredPercent) EXPECT_TRUE(std::isfinite(y));
  EXPECT_EQ(c.measuredPercent[0], 100 + 1e-300);
}

}  // namespace
}  // namespace dot11b::plots
