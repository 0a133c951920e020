// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "mac/payload.h"
#include "settings/calculate.h"
#include "settings/parameter_rules.h"
#include "settings/start_values.h"
#include "testbench/frame_description.h"

namespace dot11b::settings {
namespace {

using rt::Value;

Value parametersWith(std::initializer_list<const char*> assignments) {
  Value p = initialParameters();
  for (const char* a : assignments) applyAssignment(p, a);
  validateParameters(p);
  deriveParameters(p);
  return p;
}

TEST(Calculate, FrameSettingsComeFromTheRecord) {
  const phy::FrameSettings s = frameSettings(parametersWith(
      {"dataRate=5.5", "highRateMod=1", "preambleType=1", "clkLocked=1", "scramblerActive=2", "encoderActive=0",
       "generationMode=0", "idleSamples=300", "rampType=2", "rampLength=50", "OverSampling=3", "FilterType=2",
       "FilterFactor=0.25", "FilterTaps=7", "MirrorSpectrum=1"}));
  EXPECT_EQ(s.dataRate, 5.5);
  EXPECT_EQ(s.highRateMod, 1);
  EXPECT_EQ(s.preambleType, 1);
  EXPECT_EQ(s.locked, 1);
  EXPECT_EQ(s.scramblerActive, 2);
  EXPECT_EQ(s.encoderActive, 0);
  EXPECT_EQ(s.generationMode, 0);
  EXPECT_EQ(s.idleSamples, 300);
  EXPECT_EQ(s.rampType, 2);
  EXPECT_EQ(s.rampLength, 50);
  EXPECT_EQ(s.oversamplingRate, 3);
  EXPECT_EQ(s.filterType, 2);
  EXPECT_EQ(s.filterFactor, 0.25);
  EXPECT_EQ(s.filterTaps, 21);  // FilterTaps x OverSampling
  EXPECT_TRUE(s.mirrorSpectrum);
}

TEST(Calculate, PayloadSettingsComeFromTheRecord) {
  const mac::PayloadSettings s = payloadSettings(
      parametersWith({"dataSourceType=5", "dataLength=12", "MACheader.Active=1", "MACfcs.Active=1", "dataSourceName=f.bin"}));
  EXPECT_EQ(s.dataSourceType, 5);
  EXPECT_EQ(s.dataLength, 12);
  EXPECT_EQ(s.dataSourceName, "f.bin");
  EXPECT_TRUE(s.macHeaderActive);
  EXPECT_EQ(s.macHeaderBits.size(), 240u);
  EXPECT_TRUE(s.fcsActive);
}

struct LengthCase {
  const char* name;
  std::vector<const char*> assignments;
};

// Test names in listings.
void PrintTo(const LengthCase& c, std::ostream* os) { *os << c.name; }

class CalculateLength : public ::testing::TestWithParam<LengthCase> {};

// The frame is as long as the size estimate says, for the start values and for settings around them.
TEST_P(CalculateLength, MatchesTheProjectedLength) {
  Value p = initialParameters();
  for (const char* a : GetParam().assignments) applyAssignment(p, a);
  validateParameters(p);
  deriveParameters(p);
  const phy::Frame frame = calculate(p);
  EXPECT_EQ(static_cast<double>(frame.waveform.size()), p.field("ProjectedLength").scalarValue());
  EXPECT_EQ(frame.marker1.size(), frame.waveform.size());
  EXPECT_EQ(frame.marker2.size(), frame.waveform.size());
  EXPECT_EQ(frame.waveform.size() % 2, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, CalculateLength,
    ::testing::Values(LengthCase{"startValues", {}}, LengthCase{"oneMbit", {"dataRate=1", "dataLength=20"}},
                      LengthCase{"twoMbitWithHeaderAndFcs", {"dataRate=2", "MACheader.Active=1", "MACfcs.Active=1"}},
                      LengthCase{"pbcc", {"dataRate=5.5", "highRateMod=1", "dataLength=30"}},
                      LengthCase{"unframed", {"generationMode=0", "dataLength=8", "OverSampling=2"}}),
    [](const ::testing::TestParamInfo<LengthCase>& info) { return std::string(info.param.name); });

TEST(Calculate, RefusesABadRecordNamingTheField) {
  Value p = initialParameters();
  p.setField("FilterTaps", Value::scalar(0));
  try {
    calculate(p);
    FAIL() << "calculated";
  } catch (const ParameterError& e) {
    EXPECT_NE(std::string(e.what()).find("FilterTaps"), std::string::npos);
  }
}

TEST(FrameDescription, NamesRateModulationAndPreamble) {
  EXPECT_EQ(testbench::rateAndModulation(initialParameters()), "11 Mbit/s CCK");
  EXPECT_EQ(testbench::rateAndModulation(parametersWith({"dataRate=5.5", "highRateMod=1"})), "5.5 Mbit/s PBCC");
  EXPECT_EQ(testbench::rateAndModulation(parametersWith({"dataRate=2"})), "2 Mbit/s DQPSK");
  EXPECT_EQ(testbench::rateAndModulation(parametersWith({"dataRate=1"})), "1 Mbit/s DBPSK");
  EXPECT_EQ(testbench::preambleName(initialParameters()), "long preamble");
  EXPECT_EQ(testbench::preambleName(parametersWith({"preambleType=1"})), "short preamble");
}

TEST(FrameDescription, ChannelFrequencies) {
  EXPECT_EQ(testbench::channelFrequency(1), 2412e6);
  EXPECT_EQ(testbench::channelFrequency(6), 2437e6);
  EXPECT_EQ(testbench::channelFrequency(13), 2472e6);
  EXPECT_EQ(testbench::channelFrequency(14), 2484e6);
  EXPECT_THROW(testbench::channelFrequency(0), std::invalid_argument);
  EXPECT_THROW(testbench::channelFrequency(15), std::invalid_argument);
  EXPECT_THROW(testbench::channelFrequency(2.5), std::invalid_argument);
}

}  // namespace
}  // namespace dot11b::settings
