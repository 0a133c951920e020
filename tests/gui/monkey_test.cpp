// SPDX-License-Identifier: GPL-3.0-or-later
// Ten thousand random entries, choices and clicks on the main window and its dialogs, by name: the
// application must not crash, every parameter must stay within its allowed values, and Calculate must
// still succeed afterwards.
#include <random>

#include "app_driver.h"
#include "runtime/number_text.h"
#include "settings/parameter_rules.h"

namespace dot11b::gui_test {
namespace {

const char* const kMainEdits[] = {"txtRampTime", "txtIdleInterval", "txtOversampleRate", "txtFilterFactor",
                                  "txtFilterTaps", "txtDataLength", "txtFrequency", "txtAmplitude", "txtWaveformTitle"};
const char* const kMainLists[] = {"pdDataRate", "pdModulation", "pdPreambleFormat", "pdScrambler", "pdChannels",
                                  "pdPowerRamp", "pdFilterType", "pdDATAsourceType", "pdFrequencyUnits"};
const char* const kMainChecks[] = {"tbGenerationMode", "chkClkLocked", "chkEncoderActive", "chkMirrorSpectrum",
                                   "chkMACheader", "chkMACfcs"};
const char* const kMainCommands[] = {"pbCalculate", "menuFileNew", "menuFileSave", "menuFileOpen",
                                     "menuConfigBBG1Opt1", "menuConfigBBG1Opt2", "menuSpecialSaveWave"};
const char* const kMacEdits[] = {"txtFrameCntrl", "txtDurationID", "txtSeqCntrl", "txtAddress1",
                                 "txtAddress2",   "txtAddress3",   "txtAddress4"};
const char* const kMacChecks[] = {"chkFrameCntrl", "chkDurationID", "chkSeqCntrl", "chkAddress1",
                                  "chkAddress2",   "chkAddress3",   "chkAddress4"};
const char* const kAdvancedEdits[] = {"txtSamplingRate", "txtScaling", "txtModAtten"};
const char* const kAdvancedLists[] = {"pdSamplingRateUnits", "pdBBfilter"};
const char* const kAdvancedChecks[] = {"chkRFblanking", "chkALC", "chkBBrefSource", "chkMarkerPolarity"};

class Monkey : public AppTest {
 protected:
  template <std::size_t N>
  const char* pick(const char* const (&tags)[N]) {
    return tags[std::uniform_int_distribution<std::size_t>(0, N - 1)(rng)];
  }
  int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

  std::string randomText() {
    static const char* const fixed[] = {"",
                                        " ",
                                        "NaN",
                                        "Inf",
                                        "-Inf",
                                        "1e308",
                                        "-1e308",
                                        "1e-320",
                                        "0x1F",
                                        "ffff",
                                        "FFFFFFFFFFFFFFFFFFFF",
                                        "12 34",
                                        "1,2,3",
                                        "é",
                                        "日本語",
                                        "\t-0",
                                        "--5",
                                        "3.5e",
                                        "[1 2]",
                                        "'quoted'"};
    switch (below(4)) {
      case 0: return fixed[below(static_cast<int>(std::size(fixed)))];
      case 1: return std::to_string(std::uniform_real_distribution<double>(-1e7, 1e7)(rng));
      case 2: return std::to_string(below(3000) - 500);
      default: {
        std::string s;
        for (int i = below(12); i > 0; --i) s += static_cast<char>(32 + below(95));
        return s;
      }
    }
  }

  void randomList(const char* tag) {
    const double entries = static_cast<double>(get(tag, "String").numel());
    choose(tag, 1 + below(static_cast<int>(std::max(1.0, entries))));
  }

  // Some random edits inside the dialog that waits, then OK, Cancel or its close box.
  void inDialog(double window, int& actions) {
    const bool mac = call1("Guihandles", {Value::scalar(window)}).hasField("figMACconfig");
    for (int i = below(8); i > 0; --i, ++actions) {
      if (mac) {
        if (below(3) == 0) check(pick(kMacChecks), below(2) == 1);
        else type(pick(kMacEdits), randomText());
      } else {
        switch (below(3)) {
          case 0: type(pick(kAdvancedEdits), randomText()); break;
          case 1: randomList(pick(kAdvancedLists)); break;
          default: check(pick(kAdvancedChecks), below(2) == 1);
        }
      }
    }
    const int ending = below(3);
    if (ending == 0) click("pbOK");
    else if (ending == 1) click("pbCancel");
    else call("Invoke", {Value::scalar(window)}, 0);
  }

  std::mt19937 rng{20261208};
};

TEST_F(Monkey, TenThousandRandomActionsLeaveTheParametersValid) {
  int actions = 0;
  onWait = [this, &actions](double window) { inDialog(window, actions); };
  while (actions < 10000) {
    ++actions;
    switch (below(10)) {
      case 0: case 1: case 2: case 3: type(pick(kMainEdits), randomText()); break;
      case 4: case 5: randomList(pick(kMainLists)); break;
      case 6: case 7: check(pick(kMainChecks), below(2) == 1); break;
      case 8: click(below(2) == 0 ? "pbMACheaderSetup" : "pbAdvancedSettings"); break;
      default: click(pick(kMainCommands));
    }
  }
  onWait = nullptr;
  const Value parameters = global("parameters");
  EXPECT_NO_THROW(settings::validateParameters(parameters));
  // The projected length of the stored settings is what the window shows.
  EXPECT_EQ(text("txtNumberOfSamples"),
            rt::numberToText(parameters.field("ProjectedLength").scalarValue()) + " Samples");
  // A data file is never a valid user-file payload here: back to a generated source before calculating.
  if (parameters.field("dataSourceType").scalarValue() == 7) choose("pdDATAsourceType", 5);
  shown.clear();
  click("pbCalculate");
  for (const ShownDialog& s : shown) EXPECT_NE(s.kind, DOT11B_DIALOG_ERROR) << s.title << ": " << s.text;
  EXPECT_FALSE(global("appInfo").field("LastCalcTimeStamp").isEmpty());
}

}  // namespace
}  // namespace dot11b::gui_test
