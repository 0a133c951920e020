// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/pulse_shaping.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <limits>
#include <numbers>
#include <numeric>
#include <stdexcept>

namespace dot11b::phy {
namespace {

constexpr double kPi = std::numbers::pi;
const Complex kJ{0, 1};

double sumOf(const RealRow& row) { return std::accumulate(row.begin(), row.end(), 0.0); }

void expectSymmetric(const RealRow& row) {
  for (std::size_t k = 0; k < row.size(); ++k) {
    EXPECT_NEAR(row[k], row[row.size() - 1 - k], 1e-14) << "coefficient " << k;
  }
}

// Unnormalised root-raised-cosine value by the closed formula, away from its singular points.
double rootCosineFormula(double t, double alpha) {
  return (4 * alpha / kPi) *
         (std::cos(kPi * t * (1 + alpha)) + std::sin(kPi * t * (1 - alpha)) / (4 * alpha * t)) /
         (1 - 16 * alpha * alpha * t * t);
}

// The limit at 4 alpha |t| = 1 and the value at t = 0, unnormalised.
double rootCosineLimit(double t, double alpha) {
  const double angle = kPi * std::abs(t) + kPi / 4;
  return (4 * alpha / kPi) * ((kPi / 4) * std::sin(angle) - 0.5 * std::cos(angle));
}
double rootCosineCentre(double alpha) { return (4 * alpha / kPi) * (1 + (kPi / 4) * (1 / alpha - 1)); }

struct RootCosineCase {
  std::size_t taps;
  double alpha;
  double samplesPerChip;

  friend void PrintTo(const RootCosineCase& c, std::ostream* os) {
    *os << c.taps << " taps, alpha " << c.alpha << ", " << c.samplesPerChip << " per chip";
  }
};

class RootCosineRows : public ::testing::TestWithParam<RootCosineCase> {};

TEST_P(RootCosineRows, SumToOneAndAreSymmetric) {
  const auto& c = GetParam();
  const RealRow coef = filterRootCosine(c.taps, c.alpha, c.samplesPerChip);
  ASSERT_EQ(coef.size(), c.taps);
  EXPECT_NEAR(sumOf(coef), 1.0, 1e-12);
  expectSymmetric(coef);
  for (const double v : coef) EXPECT_TRUE(std::isfinite(v));
}

INSTANTIATE_TEST_SUITE_P(Designs, RootCosineRows,
                         ::testing::Values(RootCosineCase{33, 0.25, 4}, RootCosineCase{9, 0.25, 4},
                                           RootCosineCase{32, 0.35, 4}, RootCosineCase{73, 0.3, 6},
                                           RootCosineCase{45, 0.5, 9}, RootCosineCase{11, 1.0, 2.5},
                                           RootCosineCase{81, 0.05, 8}, RootCosineCase{2, 0.5, 1}));

TEST(FilterRootCosine, SingleTapIsOne) { EXPECT_EQ(filterRootCosine(1, 0.3, 4), RealRow{1.0}); }

TEST(FilterRootCosine, HitsTheLimitValuesAtTheSingularInstants) {
  // alpha 0.25 at 4 samples per chip: t = 0 at the middle, 4 alpha |t| = 1 at t = +-1 chip (4 samples away).
  const RealRow coef = filterRootCosine(9, 0.25, 4);
  const double centre = rootCosineCentre(0.25);
  EXPECT_NEAR(coef[0] / coef[4], rootCosineLimit(1, 0.25) / centre, 1e-14);
  EXPECT_NEAR(coef[8] / coef[4], rootCosineLimit(1, 0.25) / centre, 1e-14);
  // The limit is the value the formula approaches.
  EXPECT_NEAR(rootCosineLimit(1, 0.25), rootCosineFormula(1 + 1e-6, 0.25), 1e-5);
  // Regular instants follow the formula.
  EXPECT_NEAR(coef[2] / coef[4], rootCosineFormula(0.5, 0.25) / centre, 1e-14);
}

TEST(FilterRootCosine, UsesTheLimitWhereTheSingularInstantIsOnlyReachedToRounding) {
  // alpha 0.07 at 7 samples per chip: at t = 25/7, 1 - (4 alpha t)^2 comes out as -4.4e-16 instead of 0,
  // and the closed formula there is rounding noise (about three times the limit, with the wrong slope).
  const RealRow coef = filterRootCosine(51, 0.07, 7);
  const double expectedRatio = rootCosineLimit(25.0 / 7.0, 0.07) / rootCosineCentre(0.07);
  EXPECT_NEAR(coef[0] / coef[25], expectedRatio, 1e-7);
  EXPECT_NEAR(coef[50] / coef[25], expectedRatio, 1e-7);
}

TEST(FilterRootCosine, RejectsInvalidDesigns) {
  EXPECT_THROW(filterRootCosine(0, 0.3, 4), std::invalid_argument);
  EXPECT_THROW(filterRootCosine(9, 0, 4), std::invalid_argument);
  EXPECT_THROW(filterRootCosine(9, -0.2, 4), std::invalid_argument);
  EXPECT_THROW(filterRootCosine(9, std::numeric_limits<double>::quiet_NaN(), 4), std::invalid_argument);
  EXPECT_THROW(filterRootCosine(9, 0.3, 0), std::invalid_argument);
}

TEST(FilterGaussian, IsSymmetricWithTheMiddleAtTwiceErfK) {
  for (const double bT : {0.1, 0.3, 0.5, 1.0}) {
    const RealRow row = filterGaussian(17, bT, 4);
    ASSERT_EQ(row.size(), 17u);
    expectSymmetric(row);
    const double sigma = std::sqrt(std::log(2.0)) / (2 * kPi * bT);
    const double k = std::sqrt(2.0) / (4 * sigma);
    EXPECT_NEAR(row[8], 2 * std::erf(k), 1e-15) << "bT " << bT;
  }
  EXPECT_NEAR(filterGaussian(9, 0.5, 4)[4], 1.88, 0.01);
}

TEST(FilterGaussian, RowOverSeveralChipsSumsToTwiceTheOversampling) {
  EXPECT_NEAR(sumOf(filterGaussian(8 * 4 + 1, 0.5, 4)), 2 * 4, 1e-9);
  EXPECT_EQ(filterGaussian(16, 0.5, 4).size(), 16u);
  expectSymmetric(filterGaussian(16, 0.5, 4));
}

TEST(FilterGaussian, RejectsInvalidDesigns) {
  EXPECT_THROW(filterGaussian(0, 0.5, 4), std::invalid_argument);
  EXPECT_THROW(filterGaussian(9, 0, 4), std::invalid_argument);
  EXPECT_THROW(filterGaussian(9, 0.5, 0), std::invalid_argument);
}

TEST(Upsample, StuffsZerosAfterEveryValue) {
  EXPECT_EQ(upsample(RealRow{1, 2, 3}, 3), (RealRow{1, 0, 0, 2, 0, 0, 3, 0, 0}));
  EXPECT_EQ(upsample(ComplexRow{kJ, 2.0}, 2), (ComplexRow{kJ, 0, 2.0, 0}));
  EXPECT_EQ(upsample(RealRow{4, 5}, 1), (RealRow{4, 5}));
  EXPECT_TRUE(upsample(RealRow{}, 4).empty());
  EXPECT_THROW(upsample(RealRow{1}, 0), std::invalid_argument);
}

TEST(ExtendVector, RepeatsCyclicallyAndCuts) {
  const RealRow barker = {1, -1, 1, 1, -1, 1, 1, 1, -1, -1, -1};
  EXPECT_TRUE(extendVector(barker, 0).empty());
  EXPECT_EQ(extendVector(barker, 5), (RealRow{1, -1, 1, 1, -1}));
  RealRow thirteen = barker;
  thirteen.insert(thirteen.end(), {1, -1});
  EXPECT_EQ(extendVector(barker, 13), thirteen);
  RealRow twice = barker;
  twice.insert(twice.end(), barker.begin(), barker.end());
  EXPECT_EQ(extendVector(barker, 22), twice);
  EXPECT_EQ(extendVector(ComplexRow{kJ}, 3), (ComplexRow{kJ, kJ, kJ}));
}

TEST(ExtendVector, EmptySequenceCanOnlyGiveNothing) {
  EXPECT_TRUE(extendVector(RealRow{}, 0).empty());
  EXPECT_THROW(extendVector(RealRow{}, 3), std::invalid_argument);
}

TEST(ApplyDacRes, QuantisesToTheGivenResolution) {
  const ComplexRow out = applyDacRes({1.0, 0.5 * kJ}, 3);  // scale 3: 1.5 rounds away from zero to 2
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0], Complex(1.0));
  EXPECT_NEAR(out[1].imag(), 2.0 / 3.0, 1e-15);
  EXPECT_EQ(out[1].real(), 0.0);
}

TEST(ApplyDacRes, FourteenBitsPutTheLargestComponentAt8191Levels) {
  const ComplexRow wave = {Complex(0.3, -2.0), Complex(1.234567, 0.5), Complex(-0.001, 0)};
  const ComplexRow out = applyDacRes(wave, 14);
  const double step = 2.0 / 8191;
  EXPECT_DOUBLE_EQ(out[0].imag(), -2.0);
  for (std::size_t i = 0; i < wave.size(); ++i) {
    EXPECT_LE(std::abs(out[i].real() - wave[i].real()), step / 2 + 1e-15);
    EXPECT_LE(std::abs(out[i].imag() - wave[i].imag()), step / 2 + 1e-15);
    EXPECT_NEAR(out[i].real() / step, std::round(out[i].real() / step), 1e-9);
  }
}

TEST(ApplyDacRes, LowResolutionAndSilenceAreReturnedUnchanged) {
  const ComplexRow wave = {Complex(0.123, 0.456), Complex(-1, 0.5)};
  EXPECT_EQ(applyDacRes(wave, 2), wave);
  EXPECT_EQ(applyDacRes(wave, -5), wave);
  const ComplexRow silence(6, Complex(0, 0));
  EXPECT_EQ(applyDacRes(silence, 14), silence);
  EXPECT_TRUE(applyDacRes({}, 14).empty());
}

TEST(ApplyDacRes, ResolutionAbove32ActsAs32) {
  const ComplexRow wave = {Complex(0.1234567890123, -1), Complex(0.987654321, 0.3)};
  EXPECT_EQ(applyDacRes(wave, 40), applyDacRes(wave, 32));
}

TEST(ApplyDacRes, RejectsNonFiniteInput) {
  EXPECT_THROW(applyDacRes({Complex(std::numeric_limits<double>::infinity(), 0)}, 14), std::invalid_argument);
  EXPECT_THROW(applyDacRes({Complex(0, std::numeric_limits<double>::quiet_NaN())}, 14),
               std::invalid_argument);
  EXPECT_THROW(applyDacRes({1.0}, std::numeric_limits<double>::quiet_NaN()), std::invalid_argument);
}

}  // namespace
}  // namespace dot11b::phy
