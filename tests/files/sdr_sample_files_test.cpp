// SPDX-License-Identifier: GPL-3.0-or-later
// The SDR tools' sample files: known bytes of each format, the peak scaling and the clipping count (the
// capture reader takes them back in tests/library/cli_test.cpp and tests/python/test_sdr_files.py).
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "files/sdr_sample_files.h"
#include "phy/samples/peak_scaling.h"

namespace dot11b::files {
namespace {

std::string hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (const char c : bytes) {
    text += digits[static_cast<unsigned char>(c) >> 4];
    text += digits[static_cast<unsigned char>(c) & 15];
  }
  return text;
}

const double kSixDb = 20 * std::log10(2.0);  // the backoff that halves the peak's value

TEST(SdrSampleFiles, KnownBytesScalingAndClipping) {
  const ComplexRow peakOne = {{1, -0.5}, {0.249, 0}, {-1, 1}};
  const ComplexRow peakTwo = {{2, 0.4}, {0.8, -0.6}, {-1.4, 0.2}, {0, 0}};
  struct Case {
    const char* what;
    const ComplexRow& samples;
    SampleEncoding encoding;
    const char* bytes;
    std::size_t clipped;
  };
  const Case cases[] = {
      // The peak lands on full scale; halves round away from zero (-63.5 to -64); -128 is never written.
      {"cs8 at full scale", peakOne, {SampleFormat::CS8, 0}, "7fc0" "2000" "817f", 0},
      {"cs16 at full scale", peakOne, {SampleFormat::CS16, 0}, "ff7f00c0" "df1f0000" "0180ff7f", 0},
      {"cs8 6 dB below", peakOne, {SampleFormat::CS8, kSixDb}, "40e0" "1000" "c040", 0},
      {"cs16 1 dB below", peakOne, {SampleFormat::CS16, 1}, "1472f6c6" "681c0000" "ec8d1472", 0},
      // The peak of 2 put 6 dB above full scale: I of samples 1 and 3 clip (their |I| exceeds 1, the
      // amplitude that now lands on full scale); the rest are scaled by 127.
      {"cs8 6 dB above", peakTwo, {SampleFormat::CS8, -kSixDb}, "7f33" "66b4" "8119" "0000", 2},
      {"cf32 keeps the values", peakOne, {SampleFormat::CF32, -20}, "0000803f000000bf" "dbf97e3e00000000" "000080bf0000803f", 0},
  };
  for (const Case& c : cases) {
    const EncodedSamples encoded = encodeSamples(c.samples, c.encoding);
    EXPECT_EQ(hex(encoded.bytes), c.bytes) << c.what;
    EXPECT_EQ(encoded.clippedSamples, c.clipped) << c.what;
  }
}

TEST(SdrSampleFiles, PeakScalingEdges) {
  // 0 dB clips nothing even where the gain's rounding would put the peak a hair above full scale.
  const ComplexRow thirds = {{1.0 / 3, -1.0 / 3}, {0.1, 0.3}};
  EXPECT_EQ(phy::scalePeak(thirds, 32767, 0).clippedSamples, 0u);
  EXPECT_EQ(phy::scalePeak(thirds, 1, -0.01).clippedSamples, 1u);
  EXPECT_EQ(phy::scalePeak(ComplexRow(4), 127, -10).gain, 1);  // silence stays silence
  EXPECT_EQ(hex(encodeSamples(ComplexRow(2), {SampleFormat::CS8, -10}).bytes), "00000000");
  for (const double bad : {NAN, INFINITY}) {
    EXPECT_THROW(encodeSamples(ComplexRow{{0.5, bad}}, {SampleFormat::CS16, 1}), std::invalid_argument);
    EXPECT_THROW(phy::scalePeak(thirds, 127, bad), std::invalid_argument);
  }
  EXPECT_THROW(phy::scalePeak(ComplexRow{{1e-300, 0}}, 127, -400), std::invalid_argument);
}

}  // namespace
}  // namespace dot11b::files
