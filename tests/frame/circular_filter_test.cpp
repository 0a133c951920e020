// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/circular_filter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <stdexcept>

#include "phy/pulse_shaping.h"
#include "test_support.h"

namespace dot11b::test {
namespace {

using phy::circularFilter;

ComplexRow randomChips(std::size_t count, std::uint32_t seed) {
  const Bits bits = randomBits(2 * count, seed);
  ComplexRow chips(count);
  for (std::size_t i = 0; i < count; ++i) chips[i] = Complex(1.0 - 2 * bits[2 * i], 0.5 - bits[2 * i + 1]);
  return chips;
}

RealRow randomTaps(std::size_t count, std::uint32_t seed) {
  const Bits bits = randomBits(8 * count, seed);
  RealRow taps(count);
  for (std::size_t k = 0; k < count; ++k) {
    for (std::size_t b = 0; b < 8; ++b) taps[k] += bits[8 * k + b] * std::ldexp(1.0, -static_cast<int>(b));
    taps[k] -= 1.0;
  }
  return taps;
}

// The filtering step as a single FIR pass: the last L - 1 samples placed in front of the row, the FIR
// output as long as that extended row, the first L - 1 outputs dropped, the rest rotated left by
// floor(L / 2). Needs L - 1 <= N.
ComplexRow extendedFirPass(const ComplexRow& samples, const RealRow& h) {
  const std::size_t n = samples.size(), taps = h.size();
  ComplexRow extended(samples.end() - static_cast<std::ptrdiff_t>(taps - 1), samples.end());
  extended.insert(extended.end(), samples.begin(), samples.end());
  ComplexRow fir(extended.size());
  for (std::size_t i = 0; i < extended.size(); ++i) {
    for (std::size_t k = 0; k < taps && k <= i; ++k) fir[i] += h[k] * extended[i - k];
  }
  ComplexRow circular(fir.begin() + static_cast<std::ptrdiff_t>(taps - 1), fir.end());
  std::rotate(circular.begin(), circular.begin() + static_cast<std::ptrdiff_t>((taps / 2) % n), circular.end());
  return circular;
}

// The definition itself, for any filter length: out[n] = sum_k h[k] x[(n + floor(L/2) - k) mod N].
ComplexRow circularDefinition(const ComplexRow& samples, const RealRow& h) {
  const std::size_t n = samples.size();
  ComplexRow out(n);
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t k = 0; k < h.size(); ++k) {
      out[i] += h[k] * samples[(i + h.size() / 2 + n * h.size() - k) % n];
    }
  }
  return out;
}

double relativeError(const ComplexRow& actual, const ComplexRow& reference) {
  double error = 0, norm = 0;
  for (std::size_t i = 0; i < reference.size(); ++i) {
    error += std::norm(actual[i] - reference[i]);
    norm += std::norm(reference[i]);
  }
  return std::sqrt(error / norm);
}

struct FilterCase {
  std::size_t chips, factor, taps;
};

std::ostream& operator<<(std::ostream& out, const FilterCase& c) {
  return out << c.chips << " chips x" << c.factor << ", " << c.taps << " taps";
}

class CircularFilterCases : public ::testing::TestWithParam<FilterCase> {};

TEST_P(CircularFilterCases, EqualsTheExtendedFirPass) {
  const FilterCase& c = GetParam();
  const ComplexRow chips = randomChips(c.chips, static_cast<std::uint32_t>(c.chips * 31 + c.taps));
  const RealRow h = randomTaps(c.taps, static_cast<std::uint32_t>(c.taps + 5));
  const ComplexRow samples = phy::upsample(chips, c.factor);
  const ComplexRow filtered = circularFilter(chips, c.factor, h);
  ASSERT_EQ(filtered.size(), samples.size());
  if (c.taps - 1 <= samples.size()) {
    EXPECT_LT(relativeError(filtered, extendedFirPass(samples, h)), 1e-12);
  }
  EXPECT_LT(relativeError(filtered, circularDefinition(samples, h)), 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, CircularFilterCases,
    ::testing::Values(FilterCase{1, 1, 1}, FilterCase{1, 1, 2}, FilterCase{7, 1, 7}, FilterCase{7, 1, 8},
                      FilterCase{97, 4, 24}, FilterCase{101, 9, 54}, FilterCase{211, 5, 30}, FilterCase{64, 2, 33},
                      FilterCase{13, 3, 40},    // L - 1 = N: the whole row in front
                      FilterCase{5, 4, 61},     // longer than the row: folds three times
                      FilterCase{3, 2, 1000},   // much longer than the row
                      FilterCase{10, 4, 3},     // fewer taps than the factor: a phase without taps
                      FilterCase{6, 9, 1},      // a single tap at 9 samples per chip
                      FilterCase{509, 1, 1},    // a prime length, unit-length filter
                      FilterCase{20000, 2, 60},  // many blocks, the last one short
                      FilterCase{9001, 3, 3000}));  // long phases: few blocks, each wrapping round the row

TEST(CircularFilter, UnitImpulseGivesTheWrappedRotatedResponse) {
  const std::size_t chips = 40, factor = 4, position = 3;
  const RealRow h = phy::filterRootCosine(24, 0.35, 4);
  ComplexRow impulse(chips, 0.0);
  impulse[position] = Complex(1, 0);
  const ComplexRow response = circularFilter(impulse, factor, h);
  const std::size_t n = chips * factor;
  for (std::size_t i = 0; i < n; ++i) {
    // h[k] lands at (position * factor + k - floor(L / 2)) mod N.
    const std::size_t k = (i + h.size() / 2 + n - position * factor) % n;
    const double expected = k < h.size() ? h[k] : 0.0;
    EXPECT_NEAR(response[i].real(), expected, 1e-15) << i;
    EXPECT_NEAR(response[i].imag(), 0.0, 1e-15) << i;
  }
}

TEST(CircularFilter, NoTransientAtTheSeam) {
  // A constant row stays constant: the end flows into the beginning.
  const RealRow h = phy::filterGaussian(36, 0.5, 6);
  double gain = 0;
  for (double c : h) gain += c;
  for (const Complex& sample : circularFilter(ComplexRow(50, Complex(1, -1)), 1, h)) {
    EXPECT_NEAR(std::abs(sample - gain * Complex(1, -1)), 0.0, 1e-12);
  }
}

TEST(CircularFilter, AnyNumberOfThreadsGivesTheSameBits) {
  // Long enough for many blocks, so that every worker gets some.
  ComplexRow chips(30001);
  for (std::size_t m = 0; m < chips.size(); ++m) chips[m] = Complex(std::sin(0.37 * m), std::cos(1.3 * m * m));
  const RealRow h = phy::filterRootCosine(1000 * 9, 0.5, 9);
  const ComplexRow one = circularFilter(chips, 9, h, 1);
  for (unsigned threads : {2u, 3u, 9u, 16u}) {
    const ComplexRow many = circularFilter(chips, 9, h, threads);
    ASSERT_EQ(many.size(), one.size());
    EXPECT_TRUE(std::equal(one.begin(), one.end(), many.begin())) << threads << " threads";
  }
  EXPECT_TRUE(circularFilter(chips, 9, h) == one);
}

TEST(CircularFilter, EdgeCasesAndBadInput) {
  EXPECT_TRUE(circularFilter({}, 4, {1.0}).empty());
  EXPECT_THROW(circularFilter({1.0}, 0, {1.0}), std::invalid_argument);
  EXPECT_THROW(circularFilter({1.0}, 1, {}), std::invalid_argument);
  EXPECT_THROW(circularFilter({1.0}, 1, {std::numeric_limits<double>::quiet_NaN()}), std::invalid_argument);
  EXPECT_THROW(circularFilter({Complex(std::numeric_limits<double>::infinity(), 0)}, 1, {1.0}),
               std::invalid_argument);
}

}  // namespace
}  // namespace dot11b::test
