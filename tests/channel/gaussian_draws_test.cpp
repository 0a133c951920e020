// SPDX-License-Identifier: GPL-3.0-or-later
// The noise generator: the engine against its authors' numbers, the Gaussian numbers by their moments, tails,
// histogram and independence.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "channel/random_draws.h"
#include "channel/xoshiro.h"

namespace dot11b::test {
namespace {

using channel::Xoshiro256;

TEST(Xoshiro, GivesTheReferenceNumbersAndJumps) {
  // xoshiro256++ from the state 0, 0, 0, 1: the reference implementation's first numbers, and its state and
  // first number after a jump.
  Xoshiro256 engine({0, 0, 0, 1});
  std::array<std::uint64_t, 10> first{};
  for (std::uint64_t& word : first) word = engine();
  EXPECT_EQ(first, (std::array<std::uint64_t, 10>{0x800000ULL, 0x800011ULL, 0x2200000800011ULL, 0x2200044000020ULL,
                                                  0x22000448008A1ULL, 0x1102100802208A0ULL, 0x114002284200880ULL,
                                                  0x402896644A64095ULL, 0x8A14A0A244ACC891ULL, 0x8C88BA4680B20495ULL}));
  Xoshiro256 jumped({0, 0, 0, 1});
  jumped.jump();
  EXPECT_EQ(jumped.state(), (std::array<std::uint64_t, 4>{0x934D05E8B2076310ULL, 0xEABDD0BF76A1BE51ULL,
                                                          0x75DD6A992ACCB1E8ULL, 0xC660C602A7330187ULL}));
  EXPECT_EQ(jumped(), 0x88F9A31AFDB439F5ULL);
  // Side by side, each lane is its engine: lane l the first engine jumped l times.
  channel::XoshiroLanes lanes(Xoshiro256({0, 0, 0, 1}));
  std::array<std::uint64_t, 8> words{};
  lanes.fill(words.data(), words.size());
  EXPECT_EQ(words[0], 0x800000ULL);
  EXPECT_EQ(words[4], 0x800011ULL);
  EXPECT_EQ(words[1], 0x88F9A31AFDB439F5ULL);
}

// 2^20 complex draws of variance 2: real and imaginary parts each standard normal.
const std::vector<Complex>& draws() {
  static const std::vector<Complex> made = [] {
    std::vector<Complex> z(1 << 20);
    channel::GaussianDraws(20261209, channel::Stream::Noise).addTo(z.data(), z.size(), 2);
    return z;
  }();
  return made;
}

double below(double t) { return 0.5 * std::erfc(-t / std::numbers::sqrt2); }

TEST(GaussianDraws, HaveTheMomentsTailsAndHistogramOfTheNormalDistribution) {
  std::vector<double> x;
  for (const Complex& z : draws()) x.insert(x.end(), {z.real(), z.imag()});
  const auto n = static_cast<double>(x.size());
  double mean = 0, square = 0, fourth = 0;
  for (double v : x) mean += v / n, square += v * v / n, fourth += v * v * v * v / n;
  // Five standard errors of each estimate.
  EXPECT_NEAR(mean, 0, 5 / std::sqrt(n));
  EXPECT_NEAR(square, 1, 5 * std::sqrt(2 / n));
  EXPECT_NEAR(fourth / (square * square), 3, 5 * std::sqrt(24 / n));
  // Beyond 3, and beyond the ziggurat's base layer (3.654) where the tail algorithm takes over.
  for (const double t : {3.0, 3.7, 4.5}) {
    const double expected = 2 * below(-t) * n;
    double count = 0;
    for (double v : x) count += std::abs(v) > t;
    EXPECT_NEAR(count, expected, 5 * std::sqrt(expected)) << "beyond " << t;
  }
  // 64 bins of width 1/8 from -4 to 4 and the two tails: chi-square of 65 degrees of freedom, well within
  // its 1e-6 quantile.
  std::vector<double> counts(66, 0);
  for (double v : x) counts[v < -4 ? 0 : v >= 4 ? 65 : 1 + static_cast<std::size_t>((v + 4) * 8)] += 1;
  double chiSquare = 0;
  for (std::size_t b = 0; b < counts.size(); ++b) {
    const double low = b == 0 ? -INFINITY : -4 + (static_cast<double>(b) - 1) / 8;
    const double high = b == 65 ? INFINITY : -4 + static_cast<double>(b) / 8;
    const double expected = (below(high) - below(low)) * n;
    chiSquare += (counts[b] - expected) * (counts[b] - expected) / expected;
  }
  EXPECT_LT(chiSquare, 130);
}

TEST(GaussianDraws, RealAndImaginaryPartsAndNeighboursAreUncorrelated) {
  const std::vector<Complex>& z = draws();
  const auto n = static_cast<double>(z.size());
  double iq = 0, nextI = 0, nextQ = 0, iSquareQSquare = 0;
  for (std::size_t k = 0; k + 1 < z.size(); ++k) {
    iq += z[k].real() * z[k].imag() / n;
    nextI += z[k].real() * z[k + 1].real() / n;
    nextQ += z[k].imag() * z[k + 1].imag() / n;
    // Uncorrelated is not independent: the squares too, E[I^2 Q^2] = 1 for independent parts.
    iSquareQSquare += z[k].real() * z[k].real() * z[k].imag() * z[k].imag() / n;
  }
  for (const double product : {iq, nextI, nextQ}) EXPECT_NEAR(product, 0, 5 / std::sqrt(n));
  EXPECT_NEAR(iSquareQSquare, 1, 5 * std::sqrt(8 / n));
}

TEST(GaussianDraws, OneAtATimeAndInRowsTheSameNumbersForTheSameSeed) {
  channel::GaussianDraws rows(20261209, channel::Stream::Noise), single(20261209, channel::Stream::Noise);
  std::vector<Complex> first(700), second(1500);
  rows.addTo(first.data(), first.size(), 2);
  rows.addTo(second.data(), second.size(), 2);
  first.insert(first.end(), second.begin(), second.end());
  for (std::size_t k = 0; k < first.size(); ++k) ASSERT_EQ(single.next(2), first[k]) << k;
  for (std::size_t k = 0; k < first.size(); ++k) ASSERT_EQ(draws()[k], first[k]) << k;
  // Another stream of the same seed draws other numbers.
  EXPECT_NE(channel::GaussianDraws(20261209, channel::Stream::Taps).next(2), draws()[0]);
}

}  // namespace
}  // namespace dot11b::test
