// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>

#include "phy/size_estimate.h"
#include "settings/parameter_rules.h"
#include "settings/start_values.h"

using dot11b::rt::Value;
namespace settings = dot11b::settings;

TEST(Settings, ParametersStartValuesInOrder) {
  const Value p = settings::initialParameters();
  const std::vector<std::string> order = {
      "ParameterFileFormat_ID", "generationMode", "dataRate", "highRateMod", "preambleType", "clkLocked",
      "scramblerActive", "encoderActive", "Channel", "MirrorSpectrum", "MACheader", "MACfcs", "dataSourceType",
      "dataLength", "dataSourceName", "totalLength", "OverSampling", "rampType", "rampLength", "idleSamples",
      "FilterType", "FilterFactor", "FilterTaps", "ProjectedLength"};
  EXPECT_EQ(p.fieldNames(), order);
  EXPECT_EQ(p.field("ParameterFileFormat_ID").toUtf8(), "dot11b - Format 1.0");
  EXPECT_EQ(p.field("rampLength").scalarValue(), 88);
  EXPECT_EQ(p.field("idleSamples").scalarValue(), 4400);
  EXPECT_EQ(p.field("totalLength").scalarValue(), 1024);
  EXPECT_EQ(p.field("ProjectedLength").scalarValue(), 45792);
  EXPECT_TRUE(p.field("dataSourceName").isEmpty());

  const Value& header = p.field("MACheader");
  EXPECT_EQ(header.fieldNames(), (std::vector<std::string>{"Active", "Length", "Contents"}));
  const Value& contents = header.field("Contents");
  EXPECT_EQ(contents.fieldNames(), (std::vector<std::string>{"BitStream", "FrameCntrl", "DurationID", "SeqCntrl",
                                                              "Address1", "Address2", "Address3", "Address4"}));
  EXPECT_EQ(contents.field("BitStream").numel(), 240u);
  EXPECT_EQ(contents.field("SeqCntrl").field("Size").scalarValue(), 2);
  EXPECT_EQ(contents.field("Address4").fieldNames(), (std::vector<std::string>{"Contents", "Size", "Active"}));
  EXPECT_EQ(p.field("MACfcs").fieldNames(), (std::vector<std::string>{"Active", "Length", "Contents"}));
}

TEST(Settings, OtherRecordsStartValues) {
  const Value s = settings::initialSigGenSettings(4);
  EXPECT_EQ(s.field("SamplingRate").scalarValue(), 44000000);
  EXPECT_EQ(s.field("Frequency").scalarValue(), 2412000000);
  EXPECT_EQ(settings::initialSigGenSettings(9).field("SamplingRate").scalarValue(), 99000000);
  const Value c = settings::initialConfiguration();
  EXPECT_EQ(c.fieldNames(), (std::vector<std::string>{"type", "GPIB", "RS232", "TCPIP", "BBGtype", "LastParameterFilename"}));
  EXPECT_EQ(c.field("GPIB").field("primary").scalarValue(), 19);
  EXPECT_EQ(c.field("RS232").field("handshake").toUtf8(), "Xon/Xoff");
  const Value a = settings::initialAppInfo();
  EXPECT_EQ(a.field("ApplicationFunction").toUtf8(), "dot11b_GUI_c");
  EXPECT_EQ(a.fieldNames().size(), 16u);
}

// In a build tree the About window's address is the source tree's README (check_deb.sh checks the
// installed one).
TEST(Settings, TheWebsiteLineGivesTheReadmesAddress) {
  const std::string line = settings::initialAppInfo().field("NotesLine7").toUtf8();
  const std::string prefix = "Website: file:///";
  ASSERT_EQ(line.rfind(prefix, 0), 0u) << line;
  const std::filesystem::path readme = line.substr(prefix.size() - 1);
  EXPECT_EQ(readme.filename(), "README.md");
  EXPECT_TRUE(std::filesystem::is_regular_file(readme)) << readme;
}

TEST(SizeEstimate, EdgeCases) {
  struct Case {
    dot11b::phy::SizeEstimateInput in;
    double size;
  };
  const Case cases[] = {
      {{1, 0, 1, 0, 0, 0, 0, 0, 0, 2}, 4224},
      {{1, 800, 11, 0, 1, 1, 0, 0, 0, 4}, 7424},
      {{0, 16, 2, 0, 0, 0, 100, 1, 9, 3}, 264},
      {{1, 8, 1, 0, 0, 0, 1, 0, 0, 3}, 6602},
      {{1, 800, 11, 1, 1, 0, 0, 0, 0, 1}, 2112 + 800},
      {{1, 800, 11, 1, 0, 0, 0, 0, 0, 1}, 2112 + 400},
      {{1, 800, 5.5, 1, 1, 0, 0, 0, 0, 1}, 2112 + 1600},
      {{1, 0, 1, 0, 0, 0, 0, 1, 44, 4}, 2112 * 4 + 88},
      {{1, 0, 1, 0, 0, 0, 0, 1, 7, 4}, 2112 * 4 + 14},
  };
  for (const auto& c : cases) EXPECT_EQ(dot11b::phy::sizeEstimate(c.in), c.size) << c.size;
  dot11b::phy::SizeEstimateInput bad;
  bad.dataRate = 3;
  EXPECT_THROW(dot11b::phy::sizeEstimate(bad), std::invalid_argument);
}

TEST(ParameterRules, SettingsAreCheckedAgainstAllowedValues) {
  Value p = settings::initialParameters();
  settings::applyAssignment(p, "dataRate=1");
  settings::applyAssignment(p, "MACheader.Active=1");
  settings::applyAssignment(p, "MACheader.Contents.Address4.Active=0");
  settings::applyAssignment(p, "MACheader.Contents.DurationID.Contents=0x1a");
  settings::validateParameters(p);
  settings::deriveParameters(p);
  EXPECT_EQ(p.field("MACheader").field("Length").scalarValue(), 24);
  EXPECT_EQ(p.field("totalLength").scalarValue(), 1048);
  const Value& bits = p.field("MACheader").field("Contents").field("BitStream");
  EXPECT_EQ(bits.re(17), 1);  // 0x1a = 00011010, least significant bit first from bit 17
  EXPECT_EQ(bits.re(16), 0);

  const char* refused[] = {"dataRate=3", "totalLength=5", "ProjectedLength=1", "nosuch=1", "dataLength=2313",
                           "dataLength=1.5", "OverSampling=abc", "Channel=0", "MACheader.Contents.SeqCntrl.Contents=65536",
                           "MACheader.Contents.SeqCntrl.Active=2", "noequals"};
  for (const char* assignment : refused) {
    Value q = settings::initialParameters();
    EXPECT_THROW({
      settings::applyAssignment(q, assignment);
      settings::validateParameters(q);
    }, settings::ParameterError) << assignment;
  }
}

TEST(ParameterRules, BoundsFollowOtherFields) {
  Value p = settings::initialParameters();
  settings::applyAssignment(p, "rampLength=90000");  // allowed only once the oversampling is 9
  EXPECT_THROW(settings::validateParameters(p), settings::ParameterError);
  settings::applyAssignment(p, "OverSampling=9");
  EXPECT_NO_THROW(settings::validateParameters(p));
  settings::applyAssignment(p, "FilterFactor=0.07");
  EXPECT_THROW(settings::validateParameters(p), settings::ParameterError);  // Gaussian needs 0.1 or more
  settings::applyAssignment(p, "FilterType=2");
  EXPECT_NO_THROW(settings::validateParameters(p));
}
