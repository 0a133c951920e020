// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "plots/eye_scatter.h"
#include "plots/iq_time.h"

namespace dot11b::plots {
namespace {

Samples ramp(std::size_t n) {
  Samples s(n);
  for (std::size_t k = 0; k < n; ++k) s[k] = {static_cast<double>(k), -static_cast<double>(k) / 2};
  return s;
}

TEST(IqTime, ThousandSamplesAtElevenMegahertzLast90Point9Microseconds) {
  const IqTime v = computeIqTime(ramp(1000), 11e6);
  EXPECT_EQ(v.unit.name, "uS");
  EXPECT_NEAR(v.tMax, 90.909, 1e-3);
  EXPECT_EQ(v.time.front(), 0);
  EXPECT_NEAR(v.time[11], 1.0, 1e-12);  // sample k at k / fs
  EXPECT_EQ(v.amplitude, 999);           // the larger of |I| and |Q|, for both axes
  EXPECT_EQ(v.i[3], 3);
  EXPECT_EQ(v.q[3], -1.5);
  EXPECT_FALSE(v.testData);
}

TEST(IqTime, TimeUnitsAndTestData) {
  EXPECT_EQ(timeUnit(2).name, "S");
  EXPECT_EQ(timeUnit(0.5).name, "mS");
  EXPECT_EQ(timeUnit(1e-3).name, "mS");
  EXPECT_EQ(timeUnit(5e-9).name, "nS");
  EXPECT_EQ(timeUnit(1e-13).name, "pS");
  // Beyond the table: its end units, never a unit from the other end.
  EXPECT_EQ(timeUnit(5e3).name, "S");
  EXPECT_EQ(timeUnit(1e-16).name, "pS");

  const IqTime none = computeIqTime({}, 0);  // rate 0 counts as 1 Hz
  EXPECT_TRUE(none.testData);
  ASSERT_EQ(none.i.size(), 100u);
  EXPECT_NEAR(none.i.front(), 1, 1e-12);  // cos(-2 pi)
  EXPECT_NEAR(none.q[0], 0, 1e-12);
  EXPECT_EQ(none.unit.name, "S");         // 100 samples at 1 Hz
  EXPECT_NEAR(none.amplitude, 1, 1e-12);
}

TEST(IqTime, SlowSampleClocksAreDrawnInSeconds) {
  // The start-value frame's 45792 samples at 1 Hz last 12.7 hours, at 0.5 Hz twice that.
  for (const double rate : {1.0, 0.5}) {
    const IqTime v = computeIqTime(ramp(45792), rate);
    EXPECT_EQ(v.unit.name, "S") << rate;
    EXPECT_EQ(v.unit.multiplier, 1) << rate;
    EXPECT_EQ(v.tMax, 45792 / rate) << rate;
    EXPECT_EQ(v.time[1], 1 / rate) << rate;
  }
  // A thousand samples at 1 Hz: 1000 s, the first length the table's rule would have put in pS.
  EXPECT_EQ(computeIqTime(ramp(1000), 1).unit.name, "S");
}

TEST(EyeAndScatter, SettingsAreClamped) {
  // n at least 1; offset from 0 to n - 1; a period of 0 is 1.
  const ClampedEye a = clampEye({0, 0, -3});
  EXPECT_EQ(a.n, 1u);
  EXPECT_EQ(a.offset, 0u);
  EXPECT_EQ(a.period, 1);
  const ClampedEye b = clampEye({8, 2e-6, 8});
  EXPECT_EQ(b.offset, 7u);
  EXPECT_EQ(b.period, 2e-6);
  EXPECT_EQ(clampEye({8, 1, NAN}).offset, 0u);
  const ClampedScatter c = clampScatter(4, 11);
  EXPECT_EQ(c.n, 4u);
  EXPECT_EQ(c.offset, 3u);
  EXPECT_EQ(clampScatter(-2, -1).n, 1u);
}

TEST(EyeAndScatter, TracesAndPoints) {
  const Eye e = computeEye(ramp(22), clampEye({5, 1e-6, 2}));
  // 20 samples after the offset: four traces of 5, the last without its joining point.
  EXPECT_EQ(e.traces, 4u);
  ASSERT_EQ(e.time.size(), 6u);
  EXPECT_EQ(e.unit.name, "uS");
  EXPECT_EQ(e.time.back(), 1);
  EXPECT_EQ(e.at(0, 0).real(), 2);
  EXPECT_EQ(e.at(1, 0).real(), 7);
  EXPECT_EQ(e.at(0, 5).real(), 7);  // a trace ends where the next begins
  EXPECT_TRUE(e.has(2, 5));
  EXPECT_FALSE(e.has(3, 5));
  EXPECT_THROW(computeEye(ramp(6), clampEye({5, 1, 2})), std::invalid_argument);
  EXPECT_THROW(computeEye({}, clampEye({1, 1, 0})), std::invalid_argument);

  const Samples points = scatterPoints(ramp(23), clampScatter(5, 2));
  ASSERT_EQ(points.size(), 5u);  // samples 2, 7, 12, 17, 22
  EXPECT_EQ(points.front().real(), 2);
  EXPECT_EQ(points.back().real(), 22);
}

TEST(EyeAndScatter, AxesReachBeyondTheOutermostSample) {
  // The largest |I| or |Q| and 5 % more, so that the outermost dots and traces are drawn whole.
  const std::vector<std::pair<Samples, double>> cases{
      {{{1, -0.5}, {0.2, -2}}, 2.1}, {{{-3, 0}}, 3.15}, {{{0, 0}}, 0}, {{}, 0}};
  for (const auto& [iq, amplitude] : cases) EXPECT_DOUBLE_EQ(axisAmplitude(iq), amplitude) << iq.size();
}

}  // namespace
}  // namespace dot11b::plots
