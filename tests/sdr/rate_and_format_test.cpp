// SPDX-License-Identifier: GPL-3.0-or-later
// The rate a frame goes out at, and the samples in a radio's format: known values, no radio needed.
#include <gtest/gtest.h>

#include <cmath>

#include "phy/samples/peak_scaling.h"
#include "phy/samples/sample_formats.h"
#include "sdr/rate_choice.h"
#include "sdr/transmission.h"

namespace {

using dot11b::Complex;
using dot11b::ComplexRow;
using namespace dot11b::sdr;
using dot11b::phy::peakComponent;

TEST(RateChoice, TakesTheFramesRateOrTwoSamplesAChipOrTheHighest) {
  const std::vector<Range> hackrf = {{2e6, 20e6, 0}};
  const std::vector<Range> usrp = {{0.2e6, 61.44e6, 0}};
  const std::vector<Range> listed = {{5e6, 5e6, 0}, {10e6, 10e6, 0}, {25e6, 25e6, 0}, {40e6, 40e6, 0}};
  const std::vector<Range> stepped = {{1e6, 60e6, 3e6}};
  const std::vector<Range> slow = {{0.25e6, 10e6, 0}};
  const struct {
    const std::vector<Range>& ranges;
    double frameRate, expected;
  } cases[] = {
      {hackrf, 44e6, 20e6},  {hackrf, 22e6, 20e6},    {hackrf, 11e6, 11e6},    // as high as it goes
      {usrp, 44e6, 44e6},    {usrp, 99e6, 22e6},      {usrp, 27.5e6, 27.5e6},  // the frame's own, or 22
      {listed, 44e6, 25e6},  {listed, 10e6, 10e6},                             // the lowest listed of 22 or more
      {stepped, 44e6, 22e6}, {stepped, 49.5e6, 22e6}, {stepped, 43e6, 43e6},   // on the steps
      {slow, 22e6, 10e6},
  };
  for (const auto& c : cases) EXPECT_EQ(chooseRate(c.ranges, c.frameRate), c.expected) << c.frameRate;
  EXPECT_THROW(chooseRate({}, 22e6), std::invalid_argument);
}

TEST(RateChoice, SupportsRatesOnTheStepsAndWithinRounding) {
  const std::vector<Range> stepped = {{1e6, 60e6, 3e6}};
  EXPECT_TRUE(supportsRate(stepped, 22e6 * (1 + 1e-12)));
  EXPECT_FALSE(supportsRate(stepped, 23e6));
  EXPECT_FALSE(supportsRate(stepped, 61e6));
  EXPECT_EQ(ratesText({{2e6, 20e6, 0}}), "2 to 20 Msample/s");
  EXPECT_EQ(ratesText({{1e6, 1e6, 0}, {2e6, 2e6, 0}, {5e6, 5e6, 0}}), "1, 2 and 5 Msample/s");
  EXPECT_EQ(ratesText(stepped), "1 to 60 in steps of 3 Msample/s");
}

// Components as the radio's integers or floats: rounded half away from zero, held at the ends and counted.
// Five rounds of four samples take both the eight-at-a-time path and the one for the rest.
TEST(SampleFormats, RoundHoldAndCountAtTheEnds) {
  const ComplexRow four = {{0.5, -0.5}, {1.25, -1.28}, {1.3, 0}, {-1.3, 0}};
  ComplexRow x;
  for (int round = 0; round < 5; ++round) x.insert(x.end(), four.begin(), four.end());
  const struct {
    SampleFormat format;
    double scale;
    std::vector<double> expected;
    std::size_t clipped;
  } cases[] = {
      {SampleFormat::CS8, 100, {50, -50, 125, -128, 127, 0, -128, 0}, 2},
      {SampleFormat::CS8, 5, {3, -3, 6, -6, 7, 0, -7, 0}, 0},
      {SampleFormat::CS16, 25000, {12500, -12500, 31250, -32000, 32500, 0, -32500, 0}, 0},
      {SampleFormat::CS16, 30000, {15000, -15000, 32767, -32768, 32767, 0, -32768, 0}, 3},
      {SampleFormat::CF32, 2, {1, -1, 2.5, -2.56, 2.6, 0, -2.6, 0}, 0},
  };
  for (const auto& c : cases) {
    std::size_t clipped = 0;
    const NativeSamples native = toNative(x, c.format, c.scale, clipped);
    ComplexRow back(x.size());
    decodeSamples(native.at(0), c.format, x.size(), 1, back.data());
    for (std::size_t k = 0; k < x.size(); ++k) {
      EXPECT_NEAR(back[k].real(), c.expected[2 * (k % 4)], 1e-5) << formatName(c.format) << " sample " << k;
      EXPECT_NEAR(back[k].imag(), c.expected[2 * (k % 4) + 1], 1e-5) << formatName(c.format) << " sample " << k;
    }
    EXPECT_EQ(clipped, 5 * c.clipped) << formatName(c.format);
  }
}

// The largest |I| or |Q| lands at the full scale less the back-off, never beyond the format's last integer.
TEST(PrepareWaveform, PutsThePeakBelowFullScale) {
  const ComplexRow frame = {{0.1, -0.4}, {0.2, 0.3}, {-0.05, 0.0}, {0.0, 0.1}};
  const struct {
    StreamFormat format;
    double backoffDb, peak;
  } cases[] = {
      {{SampleFormat::CS8, 128}, 1, 114},       // 128 x 10^(-1/20) = 114.08
      {{SampleFormat::CS8, 128}, 0, 127},       // held at the last integer
      {{SampleFormat::CS16, 2048}, 1, 1825},    // a 12-bit converter's full scale
      {{SampleFormat::CS16, 32768}, 6, 16423},  // 32768 x 10^(-6/20) = 16422.9
      {{SampleFormat::CF32, 1}, 3, 0.707946},
  };
  for (const auto& c : cases) {
    const TxWaveform w = prepareWaveform(frame, 11e6, 11e6, c.format, c.backoffDb);
    ComplexRow back(frame.size());
    decodeSamples(w.samples.at(0), c.format.format, frame.size(), 1, back.data());
    EXPECT_NEAR(peakComponent(back), c.peak, 1e-5) << formatName(c.format.format) << " " << c.backoffDb << " dB";
    EXPECT_NEAR(back[1].imag() / back[0].imag(), -0.75, 0.01);
    EXPECT_EQ(w.clipped, 0u);
  }
  EXPECT_THROW(prepareWaveform(frame, 11e6, 11e6, {SampleFormat::CF32, 1}, -1), std::invalid_argument);
}

// A back-off keeps six bits of the format: the peak at 32 of its steps at the most.
TEST(PrepareWaveform, KeepsSixBitsOfTheFormat) {
  const struct {
    StreamFormat format;
    double largest;
  } cases[] = {
      {{SampleFormat::CS8, 128}, 11.9731},   // 20 log10(127 / 32)
      {{SampleFormat::CS16, 2048}, 36.1194},  // 20 log10(2047 / 32)
      {{SampleFormat::CF32, 1}, 60.2057},     // as a 16-bit converter: 20 log10(32767 / 32)
  };
  const ComplexRow frame = {{0.1, -0.4}, {0.2, 0.3}};
  for (const auto& c : cases) {
    EXPECT_NEAR(largestBackoffDb(c.format), c.largest, 1e-4) << formatName(c.format.format);
    const TxWaveform quietest = prepareWaveform(frame, 11e6, 11e6, c.format, c.largest - 1e-3);
    ComplexRow back(frame.size());
    const double step = c.format.format == SampleFormat::CF32 ? 1.0 / 32767 : 1;  // of the converter
    decodeSamples(quietest.samples.at(0), c.format.format, frame.size(), 32 * step, back.data());
    EXPECT_NEAR(peakComponent(back), 1, 0.02) << formatName(c.format.format);
    EXPECT_THROW(prepareWaveform(frame, 11e6, 11e6, c.format, c.largest + 1e-3), std::invalid_argument);
  }
}

}  // namespace
