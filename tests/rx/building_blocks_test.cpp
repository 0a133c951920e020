// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <string>

#include "rx/cck_decisions.h"
#include "rx/descrambler.h"
#include "rx/plcp_header.h"
#include "rx/stream/lanes.h"
#include "rx/stream/resample.h"
#include "rx/verify/spectrum_mask.h"

namespace dot11b::test {
namespace {

TEST(Descrambler, UndoesTheScramblerFromItsEighthBit) {
  // The scrambler x^7 + x^4 + 1 from an arbitrary state; the descrambler starts from nothing.
  std::uint8_t state = 0x5B;
  rx::Descrambler descrambler;
  for (int n = 0; n < 200; ++n) {
    const std::uint8_t bit = static_cast<std::uint8_t>((n * 7 / 3) & 1);
    const std::uint8_t scrambled = bit ^ ((state >> 3) & 1) ^ ((state >> 6) & 1);
    state = static_cast<std::uint8_t>(((state << 1) | scrambled) & 0x7F);
    const std::uint8_t back = descrambler.next(scrambled);
    if (n >= 7) {
      EXPECT_EQ(back, bit) << n;
    }
  }
}

TEST(PlcpHeader, LengthsOfTheStandardsExamples) {
  rx::PlcpHeader h;
  h.signal = 110;
  h.length = 73;  // 100 octets at 11 Mbit/s
  EXPECT_EQ(h.psduOctets(), 100U);
  h.length = 8;
  h.service = 0x80;  // 10 octets: the length extension bit set
  EXPECT_EQ(h.psduOctets(), 10U);
  h.service = 0x08;  // PBCC at 11 Mbit/s, 10 octets: LENGTH 8, no extension
  EXPECT_EQ(h.psduOctets(), 10U);
  h.signal = 55;
  h.service = 0;
  h.length = 2;  // 1 octet at 5.5 Mbit/s
  EXPECT_EQ(h.psduOctets(), 1U);
  h.signal = 20;
  h.length = 8;
  EXPECT_EQ(h.psduOctets(), 2U);
  h.signal = 33;
  EXPECT_FALSE(h.psduOctets());
}

TEST(PlcpHeader, FieldsAndCrcOfAKnownHeader) {
  // 1 Mbit/s, LENGTH 0: SIGNAL 0x0A, SERVICE 0, LENGTH 0 and the CRC 0000 1110 0000 0100.
  Bits bits;
  for (char c : std::string("01010000" "000000000000000000000000" "0000111000000100")) bits.push_back(c == '1');
  rx::PlcpHeader h = rx::parsePlcpHeader(bits);
  EXPECT_EQ(h.signal, 10);
  EXPECT_EQ(h.rateMbps(), 1.0);
  EXPECT_TRUE(h.crcOk);
  bits[20] ^= 1;
  EXPECT_FALSE(rx::parsePlcpHeader(bits).crcOk);
}

TEST(Cck, DecisionsRecoverEveryCodewordAndPhase) {
  for (int v = 0; v < 64; ++v) {
    const double quarter = std::numbers::pi / 2;
    const auto q = [&](int pair) { return quarter * (2 * ((v >> (5 - 2 * pair)) & 1) + ((v >> (4 - 2 * pair)) & 1)); };
    ComplexRow chips = rx::cckCodeword(q(0), q(1), q(2));
    for (Complex& c : chips) c *= std::polar(1.0, 0.3);
    const rx::CckDecision d = rx::decideCck(chips, true);
    int value = 0;
    for (uint8_t b : d.bits) value = 2 * value + b;
    EXPECT_EQ(value, v);
    EXPECT_NEAR(std::arg(d.correlation), 0.3, 1e-12);
  }
}

TEST(Cck, DecisionIsTheBestOfTheSixtyFourCorrelations) {
  // Noise-like chips: the decision is the codeword that correlates best, and its correlation.
  std::mt19937 random(7);
  std::normal_distribution<double> gauss;
  const double quarter = std::numbers::pi / 2;
  for (int trial = 0; trial < 200; ++trial) {
    ComplexRow chips(8);
    for (Complex& c : chips) c = {gauss(random), gauss(random)};
    int best = 0;
    Complex bestCorrelation(0, 0);
    for (int v = 0; v < 64; ++v) {
      const ComplexRow codeword = rx::cckCodeword(quarter * (v >> 4), quarter * ((v >> 2) & 3), quarter * (v & 3));
      Complex sum(0, 0);
      for (std::size_t k = 0; k < 8; ++k) sum += chips[k] * std::conj(codeword[k]);
      if (std::norm(sum) > std::norm(bestCorrelation)) {
        bestCorrelation = sum;
        best = v;
      }
    }
    const rx::CckDecision d = rx::decideCck(chips, true);
    int value = 0;
    for (uint8_t b : d.bits) value = 2 * value + b;
    EXPECT_EQ(value, best) << trial;
    EXPECT_NEAR(std::abs(d.correlation - bestCorrelation), 0.0, 1e-12) << trial;
  }
}

TEST(Resample, KeepsAToneInBandAndItsPhase) {
  // A 3 MHz tone at 99 MHz taken to 44 MHz and to 20 MHz.
  ComplexRow tone(9900);
  for (std::size_t n = 0; n < tone.size(); ++n) tone[n] = std::polar(1.0, 2 * std::numbers::pi * 3e6 * n / 99e6);
  for (double to : {44e6, 20e6}) {
    const ComplexRow out = rx::resample(tone, 99e6, to);
    for (std::size_t m = 200; m + 200 < out.size(); ++m) {
      ASSERT_NEAR(std::abs(out[m] - std::polar(1.0, 2 * std::numbers::pi * 3e6 * m / to)), 0.0, 2e-3) << to << " " << m;
    }
  }
  EXPECT_THROW(rx::resample(tone, 0, 44e6), std::invalid_argument);
  EXPECT_THROW(rx::resample(tone, 44e6, std::nan("")), std::invalid_argument);
}

}  // namespace
}  // namespace dot11b::test

namespace dot11b::test {
namespace {

TEST(SpectrumMask, TheResolutionBandwidthIs100KHzOnATone) {
  // A tone of power 4 at 3 MHz, on a bin of the 660-point segments that 100 kHz takes at 44 MHz.
  ComplexRow tone(44000);
  for (std::size_t n = 0; n < tone.size(); ++n) tone[n] = std::polar(2.0, 2 * std::numbers::pi * 3e6 * n / 44e6);
  const auto psd = rx::powerSpectrum(tone, 44e6, 100e3);
  ASSERT_EQ(psd.size(), 660U);
  double total = 0, peak = 0, peakFrequency = 0;
  for (const rx::MaskPoint& p : psd) {
    total += p.dbr;
    if (p.dbr > peak) {
      peak = p.dbr;
      peakFrequency = p.frequency;
    }
  }
  EXPECT_NEAR(peakFrequency, 3e6, 1);
  EXPECT_NEAR(total / 660, 4.0, 1e-9);  // the power is kept
  // The tone's response is as wide as noise of the same peak density in 100 kHz.
  EXPECT_NEAR(total / peak * 44e6 / 660, 100e3, 1);
}

TEST(SpectrumMask, ATonesPeakReadsItsPowerWhereverItLiesBetweenBins) {
  // The peak is sought on bins closer than a segment's own: a tone of power 4 reads within 0.6 dB of it
  // between them too (on a segment's bins alone, 1.4 dB low halfway between two).
  for (const double rate : {20e6, 22e6, 44e6}) {
    const double segmentBin = 100e3 / 1.5;
    for (const double between : {0.0, 0.25, 0.5, 0.75}) {
      rx::SampleRow tone(20000);
      const double frequency = (45 + between) * segmentBin;
      for (std::size_t n = 0; n < tone.size(); ++n) {
        tone[n] = std::polar(2.0f, static_cast<float>(std::fmod(2 * std::numbers::pi * frequency * n / rate, 2 * std::numbers::pi)));
      }
      const double peak = rx::measurePeak(tone.data(), tone.size(), rate).peakPowerInResolutionBandwidth;
      EXPECT_NEAR(10 * std::log10(peak / 4), 0, 0.6) << rate << " Hz, " << between << " of a bin";
    }
  }
}

TEST(SpectrumMask, ThePeakAloneIsTheMasksPeak) {
  std::mt19937 random(3);
  std::normal_distribution<float> gauss;
  rx::SampleRow noise(5000);
  for (rx::Sample& x : noise) x = {gauss(random), 0.5f + gauss(random)};
  for (const double rate : {20e6, 22e6, 44e6}) {
    const rx::MaskResult mask = rx::measureMask(noise.data(), noise.size(), rate);
    const rx::MaskResult peak = rx::measurePeak(noise.data(), noise.size(), rate);
    ASSERT_GT(mask.peakPowerInResolutionBandwidth, 0) << rate;
    EXPECT_EQ(peak.peakPowerInResolutionBandwidth, mask.peakPowerInResolutionBandwidth) << rate;
    EXPECT_TRUE(peak.points.empty());
    EXPECT_FALSE(peak.inner.measured || peak.outer.measured);
  }
  // Shorter than a segment: no spectrum, no peak.
  EXPECT_EQ(rx::measurePeak(noise.data(), 100, 22e6).peakPowerInResolutionBandwidth, 0);
}

template <typename T>
void expectEveryNonFinitePartFound() {
  for (std::size_t n = 0; n < 9; ++n) {
    std::vector<std::complex<T>> row(n, {T(0.5), T(-1)});
    EXPECT_TRUE(rx::allFinite(row.data(), n)) << n;
    for (std::size_t part = 0; part < 2 * n; ++part) {
      for (const T bad : {std::numeric_limits<T>::quiet_NaN(), std::numeric_limits<T>::infinity(),
                          -std::numeric_limits<T>::infinity()}) {
        std::vector<std::complex<T>> faulty = row;
        reinterpret_cast<T*>(faulty.data())[part] = bad;
        EXPECT_FALSE(rx::allFinite(faulty.data(), n)) << n << " samples, part " << part << ": " << bad;
      }
    }
  }
}

TEST(Lanes, AllFiniteFindsANonFinitePartAnywhere) {
  expectEveryNonFinitePartFound<float>();
  expectEveryNonFinitePartFound<double>();
}

}  // namespace
}  // namespace dot11b::test
