// SPDX-License-Identifier: GPL-3.0-or-later
// The format panel driven by name: every entry converted, rounded and clamped, and the controls that
// depend on it redrawn.
#include "app_driver.h"

namespace dot11b::gui_test {
namespace {

using FormatPanel = AppTest;

struct EntryCase {
  const char* tag;
  const char* typed;
  const char* field;
  double stored;
  const char* shown;
};

TEST_F(FormatPanel, EntriesAreRoundedAndClampedAndShownAsStored) {
  // Oversampling 4 throughout: the ramp and idle times are stored in samples at 44 per µs.
  const EntryCase cases[] = {
      {"txtRampTime", "2.5", "rampLength", 110, "2.5"},
      {"txtRampTime", "1500", "rampLength", 44000, "1000"},
      {"txtRampTime", "abc", "rampLength", 0, "0"},
      {"txtRampTime", "-3", "rampLength", 0, "0"},
      {"txtRampTime", "5 7", "rampLength", 308, "7"},
      {"txtIdleInterval", "100.5", "idleSamples", 4422, "100.5"},
      {"txtIdleInterval", "NaN", "idleSamples", 0, "0"},
      {"txtFilterTaps", "6", "FilterTaps", 6, "6"},  // symbols: not rounded to the oversampling
      {"txtFilterTaps", "6.5", "FilterTaps", 7, "7"},
      {"txtFilterTaps", "1", "FilterTaps", 1, "1"},
      {"txtFilterTaps", "5000", "FilterTaps", 1000, "1000"},
      {"txtFilterTaps", "no number", "FilterTaps", 1000, "1000"},
      {"txtDataLength", "3000", "dataLength", 2312, "2312"},
      {"txtDataLength", "-5", "dataLength", 0, "0"},
      {"txtDataLength", "", "dataLength", 2312, "2312"},
      {"txtDataLength", "10.5", "dataLength", 11, "11"},
      {"txtFilterFactor", "3", "FilterFactor", 1, "1"},
      {"txtFilterFactor", "0.01", "FilterFactor", 0.1, "0.1"},
  };
  for (const EntryCase& c : cases) {
    type(c.tag, c.typed);
    EXPECT_EQ(parameter(c.field), c.stored) << c.tag << " <- '" << c.typed << "'";
    EXPECT_EQ(text(c.tag), c.shown) << c.tag << " <- '" << c.typed << "'";
  }
}

TEST_F(FormatPanel, OversamplingRescalesRampAndIdleAndSamplingRate) {
  type("txtOversampleRate", "3");
  EXPECT_EQ(parameter("OverSampling"), 3);
  EXPECT_EQ(parameter("rampLength"), 66);
  EXPECT_EQ(parameter("idleSamples"), 3300);
  EXPECT_EQ(global("SigGenSettings").field("SamplingRate").scalarValue(), 33000000);
  EXPECT_EQ(parameter("FilterTaps"), 6);
  const std::pair<const char*, double> cases[] = {{"3.6", 4}, {"12", 9}, {"1", 2}, {"text", 9}};
  for (const auto& [typed, stored] : cases) {
    type("txtOversampleRate", typed);
    EXPECT_EQ(parameter("OverSampling"), stored) << typed;
    EXPECT_EQ(text("txtOversampleRate"), std::to_string(static_cast<int>(stored)));
  }
}

TEST_F(FormatPanel, FilterFactorLimitsFollowTheFilterType) {
  choose("pdFilterType", 3);  // root raised cosine
  type("txtFilterFactor", "0.01");
  EXPECT_EQ(parameter("FilterFactor"), 0.05);
  EXPECT_EQ(text("lblFilterFactor"), "a:  ");
  choose("pdFilterType", 1);  // none: the factor fields are hidden
  EXPECT_FALSE(visible("txtFilterFactor"));
  EXPECT_FALSE(visible("txtFilterTaps"));
  EXPECT_FALSE(visible("lblFilterTaps"));
  EXPECT_EQ(text("lblFilterFactor"), "");
  type("txtFilterFactor", "0.01");
  EXPECT_EQ(parameter("FilterFactor"), 0.01);
  type("txtFilterFactor", "-4");
  EXPECT_EQ(parameter("FilterFactor"), 0);
  // Choosing a filter again brings the factor into that filter's range.
  choose("pdFilterType", 2);
  EXPECT_EQ(parameter("FilterFactor"), 0.1);
  EXPECT_EQ(text("lblFilterFactor"), "bT:  ");
  EXPECT_EQ(text("txtFilterFactor"), "0.1");
}

TEST_F(FormatPanel, DataRateSetsPreambleAndModulationLists) {
  choose("pdPreambleFormat", 2);
  choose("pdDataRate", 1);
  EXPECT_EQ(parameter("dataRate"), 1);
  EXPECT_EQ(parameter("preambleType"), 0);
  EXPECT_FALSE(enabled("pdPreambleFormat"));
  EXPECT_FALSE(enabled("pdModulation"));
  EXPECT_EQ(get("pdModulation", "String").cells().at(0).toUtf8(), "DBPSK");
  choose("pdDataRate", 3);
  EXPECT_EQ(parameter("dataRate"), 5.5);
  EXPECT_EQ(parameter("preambleType"), 0);
  EXPECT_TRUE(enabled("pdPreambleFormat"));
  EXPECT_TRUE(enabled("pdModulation"));
  EXPECT_EQ(get("pdModulation", "String").numel(), 2u);
  // The encoder check box is for PBCC at the high rates only.
  EXPECT_FALSE(enabled("chkEncoderActive"));
  choose("pdModulation", 2);
  EXPECT_EQ(parameter("highRateMod"), 1);
  EXPECT_TRUE(enabled("chkEncoderActive"));
  choose("pdDataRate", 2);
  EXPECT_FALSE(enabled("chkEncoderActive"));
}

TEST_F(FormatPanel, ChannelsSetTheCarrier) {
  EXPECT_EQ(get("pdChannels", "String").numel(), 14u);
  EXPECT_EQ(get("pdChannels", "String").cells().at(0).toUtf8(), " 1 - 2412 MHz");
  EXPECT_EQ(get("pdChannels", "String").cells().at(13).toUtf8(), "14 - 2484 MHz");
  const std::pair<double, double> cases[] = {{6, 2437000000}, {13, 2472000000}, {14, 2484000000}};
  for (const auto& [channel, hz] : cases) {
    choose("pdChannels", channel);
    EXPECT_EQ(parameter("Channel"), channel);
    EXPECT_EQ(global("SigGenSettings").field("Frequency").scalarValue(), hz);
  }
  EXPECT_EQ(text("txtFrequency"), "2.484");
  EXPECT_EQ(value("pdFrequencyUnits"), 4);
}

TEST_F(FormatPanel, MacHeaderAndFcsMakeTheTotalLength) {
  check("chkMACheader", true);
  EXPECT_TRUE(enabled("pbMACheaderSetup"));
  check("chkMACfcs", true);
  EXPECT_EQ(parameter("totalLength"), 1058);
  EXPECT_EQ(text("txtTotalLength"), "1058");
  check("chkMACheader", false);
  EXPECT_FALSE(enabled("pbMACheaderSetup"));
  EXPECT_EQ(text("txtTotalLength"), "1028");
}

TEST_F(FormatPanel, RampTimeFieldFollowsModeAndRampType) {
  EXPECT_TRUE(enabled("txtRampTime"));
  choose("pdPowerRamp", 1);  // no ramp
  EXPECT_FALSE(enabled("txtRampTime"));
  choose("pdPowerRamp", 2);
  check("tbGenerationMode", false);
  EXPECT_EQ(text("tbGenerationMode"), "Unframed");
  EXPECT_FALSE(enabled("txtRampTime"));
  EXPECT_FALSE(enabled("pdPreambleFormat"));
  EXPECT_FALSE(enabled("chkMACheader"));
  check("tbGenerationMode", true);
  EXPECT_EQ(text("tbGenerationMode"), "Framed");
  EXPECT_TRUE(enabled("txtRampTime"));
}

TEST_F(FormatPanel, ProjectedLengthIsShownWithItsUnit) {
  EXPECT_EQ(text("txtNumberOfSamples"), "45792 Samples");
  EXPECT_EQ(get("main", "Name").toUtf8(), "Vantrel Wavendo - IEEE 802.11b-1999 (DSSS)");
}

}  // namespace
}  // namespace dot11b::gui_test
