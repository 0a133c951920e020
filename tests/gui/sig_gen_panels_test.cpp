// SPDX-License-Identifier: GPL-3.0-or-later
// The signal generator section of the main window and the advanced settings dialog.
#include "app_driver.h"

namespace dot11b::gui_test {
namespace {

class SigGen : public AppTest {
 protected:
  double setting(const char* field) { return global("SigGenSettings").field(field).scalarValue(); }
  void enterFrequency(const char* typed, double unit) {
    set("pdFrequencyUnits", "Value", Value::scalar(unit));
    type("txtFrequency", typed);
  }
};

TEST_F(SigGen, FrequencyIsReadInItsUnitClampedAndShownInAFittingUnit) {
  struct Case {
    const char* typed;
    double unit;
    double stored;
    const char* shown;
    double shownUnit;
  };
  const Case cases[] = {
      {"2.4121", 4, 2412100000, "2.4121", 4}, {"50", 2, 100000, "100", 2},  {"7", 4, 6000000000, "6", 4},
      {"abc", 3, 6000000000, "6", 4},         {"1", 4, 1000000000, "1", 4},
      {"999.999999", 3, 999999999, "999.999999", 3},  // all its digits: Return keeps it
  };
  for (const Case& c : cases) {
    enterFrequency(c.typed, c.unit);
    EXPECT_EQ(setting("Frequency"), c.stored) << c.typed;
    EXPECT_EQ(text("txtFrequency"), c.shown) << c.typed;
    EXPECT_EQ(value("pdFrequencyUnits"), c.shownUnit) << c.typed;
  }
  // A new unit reinterprets the number shown.
  enterFrequency("2.412", 4);
  choose("pdFrequencyUnits", 3);
  EXPECT_EQ(setting("Frequency"), 2412000);
  EXPECT_EQ(text("txtFrequency"), "2.412");
}

TEST_F(SigGen, AmplitudeAndTitle) {
  const std::pair<const char*, double> amplitudes[] = {{"-30.6", -31}, {"25", 20}, {"-200", -136}, {"x", 20}};
  for (const auto& [typed, stored] : amplitudes) {
    type("txtAmplitude", typed);
    EXPECT_EQ(setting("Amplitude"), stored) << typed;
  }
  EXPECT_EQ(text("txtAmplitude"), "20");
  const std::pair<const char*, const char*> titles[] = {
      {"my wave.1", "MYWAVE1"},
      {"a b c d e f g h i j k l m n o p q r s t u v", "ABCDEFGHIJKLMNOPQRST"},
      {"...", "BLANK"},
      {"[X]_#+-$&", "[X]_#+-$&"},
      {"çä wave", "WAVE"}};
  for (const auto& [typed, stored] : titles) {
    type("txtWaveformTitle", typed);
    EXPECT_EQ(global("SigGenSettings").field("Title").toUtf8(), stored) << typed;
    EXPECT_EQ(text("txtWaveformTitle"), stored) << typed;
  }
}

TEST_F(SigGen, AdvancedDialogEditsACopyAndHandsItBackOnOk) {
  struct Case {
    const char* tag;
    const char* typed;
    const char* field;
    double stored;
  };
  const Case cases[] = {{"txtScaling", "12.346", "Scaling", 12.35}, {"txtScaling", "0.5", "Scaling", 1},
                        {"txtScaling", "150", "Scaling", 100},      {"txtModAtten", "12.5", "ModAtten", 13},
                        {"txtModAtten", "-3", "ModAtten", 0},       {"txtModAtten", "41", "ModAtten", 40}};
  onWait = [&](double) {
    for (const Case& c : cases) {
      type(c.tag, c.typed);
      EXPECT_EQ(global("newSettings").field(c.field).scalarValue(), c.stored) << c.tag << " <- " << c.typed;
    }
    set("pdSamplingRateUnits", "Value", Value::scalar(3));
    type("txtSamplingRate", "11");
    EXPECT_EQ(global("newSettings").field("SamplingRate").scalarValue(), 11000000);
    EXPECT_EQ(text("txtSamplingRate"), "11");
    set("pdSamplingRateUnits", "Value", Value::scalar(1));
    type("txtSamplingRate", "0.5");
    EXPECT_EQ(global("newSettings").field("SamplingRate").scalarValue(), 1);
    check("chkBBrefSource", true);
    choose("pdBBfilter", 3);
    click("pbOK");
  };
  click("pbAdvancedSettings");
  EXPECT_EQ(setting("Scaling"), 100);
  EXPECT_EQ(setting("ModAtten"), 40);
  EXPECT_EQ(setting("SamplingRate"), 1);
  EXPECT_EQ(setting("ArbRefSource"), 1);
  EXPECT_EQ(setting("BBfilter"), 3);
  EXPECT_FALSE(visible("figAdvSettings"));
}

TEST_F(SigGen, AdvancedDialogCancelAndCloseBoxKeepTheSettings) {
  const Value before = global("SigGenSettings");
  for (const char* ending : {"pbCancel", "figAdvSettings"}) {
    onWait = [&](double) {
      type("txtScaling", "50");
      click(ending);  // the window itself: its close box
    };
    click("pbAdvancedSettings");
    EXPECT_EQ(global("SigGenSettings"), before) << ending;
  }
}

}  // namespace
}  // namespace dot11b::gui_test
