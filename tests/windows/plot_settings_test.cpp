// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "settings/plot_settings.h"

namespace dot11b::settings {
namespace {

TEST(PlotSettings, EyeSymbolsAndDelayAreClamped) {
  // 2 symbols of 4 samples at 44 MHz; a delay of half a symbol is 2 samples.
  const EyeRequest e = eyeRequest({"2", "0.5"}, 1000, 4, 44e6);
  EXPECT_EQ(e.samplesPerTrace, 8);
  EXPECT_DOUBLE_EQ(e.period, 8 / 44e6);
  EXPECT_EQ(e.delaySamples, 2);
  // Fewer than one symbol counts as one; more than the waveform holds as all of it; the delay from 0 to 1.
  EXPECT_EQ(eyeRequest({"0.2", "-3"}, 1000, 4, 44e6).samplesPerTrace, 4);
  EXPECT_EQ(eyeRequest({"0.2", "-3"}, 1000, 4, 44e6).delaySamples, 0);
  EXPECT_EQ(eyeRequest({"1e6", "7"}, 1000, 4, 44e6).samplesPerTrace, 1000);
  EXPECT_EQ(eyeRequest({"1e6", "7"}, 1000, 4, 44e6).delaySamples, 4);
  EXPECT_EQ(eyeRequest({"2.5", "0.3"}, 1000, 9, 99e6).samplesPerTrace, 27);  // 3 symbols (rounded)
  EXPECT_EQ(eyeRequest({"2.5", "0.3"}, 1000, 9, 99e6).delaySamples, 3);       // round(2.7)
  EXPECT_THROW(eyeRequest({"two", "0"}, 1000, 4, 44e6), std::invalid_argument);
  EXPECT_THROW(eyeRequest({"1"}, 1000, 4, 44e6), std::invalid_argument);
  EXPECT_THROW(eyeRequest({"1", ""}, 1000, 4, 44e6), std::invalid_argument);
}

TEST(PlotSettings, AnswersAreConvertedTogether) {
  // Both numbers in the first field: the second field does not count.
  EXPECT_EQ(eyeRequest({"2 0.5", "0"}, 1000, 4, 44e6).samplesPerTrace, 8);
  EXPECT_EQ(eyeRequest({"2 0.5", "0"}, 1000, 4, 44e6).delaySamples, 2);
  EXPECT_EQ(eyeRequest({"2,0.5", ""}, 1000, 4, 44e6).delaySamples, 2);
  EXPECT_EQ(scatterRequest({"", "0 1"}, 8).delaySamples, 8);
  EXPECT_THROW(scatterRequest({"1 x", "0"}, 8), std::invalid_argument);
}

TEST(PlotSettings, ScatterTraceIsZeroOrOne) {
  EXPECT_EQ(scatterRequest({"1", "0"}, 4).traceOn, 1);
  EXPECT_EQ(scatterRequest({"5", "0"}, 4).traceOn, 1);
  EXPECT_EQ(scatterRequest({"-2", "0"}, 4).traceOn, 0);
  EXPECT_EQ(scatterRequest({"0.4", "1"}, 8).traceOn, 0);
  EXPECT_EQ(scatterRequest({"0.4", "1"}, 8).delaySamples, 8);
  EXPECT_EQ(eyeQuestion().title, std::string("Eye Diagram Configuration"));
  EXPECT_EQ(scatterQuestion().prompts.front(), "Trace On (0|1):");
}

}  // namespace
}  // namespace dot11b::settings
