// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "plots/spectrum.h"

namespace dot11b::plots {
namespace {

Samples tone(std::size_t n, double cyclesPerSample, double amplitude = 1) {
  Samples s(n);
  for (std::size_t k = 0; k < n; ++k)
    s[k] = std::polar(amplitude, 2 * std::numbers::pi * cyclesPerSample * static_cast<double>(k));
  return s;
}

TEST(Spectrum, FrequencyUnitsFitTheRate) {
  EXPECT_EQ(frequencyUnit(999).name, "Hz");
  EXPECT_EQ(frequencyUnit(1000).name, "kHz");
  EXPECT_EQ(frequencyUnit(44e6).name, "MHz");
  EXPECT_EQ(frequencyUnit(44e6).multiplier, 1e-6);
  EXPECT_EQ(frequencyUnit(2.4e9).name, "GHz");
  EXPECT_EQ(frequencyUnit(3e13).name, "GHz");
  // Clocks of 1 Hz and below stay in Hz.
  for (const double rate : {1.0, 0.5, 1e-4}) {
    const Spectrum slow = computeSpectrum(tone(64, 0.1), rate);
    EXPECT_EQ(slow.unit.name, "Hz") << rate;
    EXPECT_EQ(slow.fMax, rate / 2) << rate;
  }
  const Spectrum s = computeSpectrum(tone(64, 0.1), 44e6);
  EXPECT_EQ(s.unit.name, "MHz");
  EXPECT_EQ(s.fMin, -22);
  EXPECT_EQ(s.fMax, 22);
}

TEST(Spectrum, ToneLandsOnItsFrequencyInAnyLength) {
  // Exact DFT of odd, even and prime lengths: a tone on bin m shows at m * fs / N, DC at 0.
  for (std::size_t n : {10u, 11u, 97u, 1000u}) {
    for (int m : {0, 3, -4}) {
      const Spectrum s = computeSpectrum(tone(n, static_cast<double>(m) / static_cast<double>(n)), 1000);
      const auto peak = std::max_element(s.magnitudeDb.begin(), s.magnitudeDb.end()) - s.magnitudeDb.begin();
      EXPECT_EQ(s.unit.name, "kHz");
      EXPECT_NEAR(s.frequency[static_cast<std::size_t>(peak)], m / static_cast<double>(n), 1e-12) << n << " " << m;
      EXPECT_EQ(s.magnitudeDb[static_cast<std::size_t>(peak)], 0);
    }
  }
  const std::vector<double> f = centredFrequencies(4, 8);
  EXPECT_EQ(f, (std::vector<double>{-4, -2, 0, 2}));
}

TEST(Spectrum, RangeIsClippedAtOneHundredDb) {
  // A strong tone and one 140 dB weaker: the axis stops at -100 dB.
  Samples s = tone(128, 0.25);
  const Samples weak = tone(128, -0.125, 1e-7);
  for (std::size_t k = 0; k < s.size(); ++k) s[k] += weak[k];
  const Spectrum sp = computeSpectrum(s, 1e6);
  EXPECT_EQ(sp.dbMax, 0);
  EXPECT_EQ(sp.dbMin, -100);
  // Two samples whose DFT is [1, r] with r 37 dB below 1: the axis goes down to -40 dB.
  const double r = std::pow(10, -37.0 / 20);
  const Spectrum two = computeSpectrum({{(1 + r) / 2, 0}, {(1 - r) / 2, 0}}, 1e6);
  EXPECT_NEAR(two.magnitudeDb[0], -37, 1e-9);
  EXPECT_EQ(two.magnitudeDb[1], 0);
  EXPECT_EQ(two.dbMin, -40);
}

TEST(Spectrum, ZeroAndEmptyWaveforms) {
  const Spectrum zero = computeSpectrum(Samples(16), 1e6);
  for (double db : zero.magnitudeDb) EXPECT_EQ(db, 0);

  const Spectrum test = computeSpectrum({}, 20e6);
  ASSERT_EQ(test.magnitudeDb.size(), 10u);
  EXPECT_EQ(test.magnitudeDb[4], 0);
  EXPECT_NEAR(test.magnitudeDb.front(), -60, 1e-9);
  EXPECT_NEAR(test.magnitudeDb.back(), -60, 1e-9);
  EXPECT_EQ(test.frequency.front(), -10);
  EXPECT_EQ(test.frequency.back(), 10);
  EXPECT_EQ(test.dbMin, -60);
}

TEST(Spectrum, RateOfZeroOrBelowIsOneHertz) {
  for (double rate : {0.0, -5.0}) {
    const Spectrum s = computeSpectrum(tone(8, 0), rate);
    EXPECT_EQ(s.unit.name, "Hz");
    EXPECT_EQ(s.fMax, 0.5);
  }
}

}  // namespace
}  // namespace dot11b::plots
