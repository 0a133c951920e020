// SPDX-License-Identifier: GPL-3.0-or-later
// The application window: readiness questions, the baseband options, the File commands, Exit and restart.
#include <filesystem>

#include "app_driver.h"

namespace dot11b::gui_test {
namespace {

class AppWindow : public AppTest {
 protected:
  std::string lastQuestionTitle() {
    for (auto it = shown.rbegin(); it != shown.rend(); ++it)
      if (it->kind == DOT11B_DIALOG_QUESTION) return it->title;
    return "";
  }
  std::size_t questions() {
    std::size_t n = 0;
    for (const auto& s : shown) n += s.kind == DOT11B_DIALOG_QUESTION;
    return n;
  }
  bool calculated() { return !global("appInfo").field("LastCalcTimeStamp").isEmpty(); }
  // Save Wave writes a file only when the waveform may be used: the readiness check in action.
  bool saveWaveWrote(const std::string& name) {
    fileAnswers.push_back(workFolder + "/" + name);
    click("menuSpecialSaveWave");
    const bool wrote = std::filesystem::exists(workFolder + "/" + name);
    fileAnswers.clear();
    return wrote;
  }
};

TEST_F(AppWindow, MenusAreBuiltWithTheirTagsAndMarks) {
  EXPECT_EQ(get("menuFile", "Label").toUtf8(), "&File");
  EXPECT_EQ(get("menuFileSaveAs", "Label").toUtf8(), "Save &As...");
  EXPECT_FALSE(visible("menuPlotWaterfall"));
  EXPECT_FALSE(visible("menuConfigSpecAnIO"));
  EXPECT_FALSE(visible("menuSpecial"));
  EXPECT_EQ(get("menuSpecialImpairments", "Enable").toUtf8(), "off");
  // Platform "c" with the start value "002": exactly the second option is checked.
  EXPECT_EQ(get("menuConfigBBG1Opt1", "Checked").toUtf8(), "off");
  EXPECT_EQ(get("menuConfigBBG1Opt2", "Checked").toUtf8(), "on");
  EXPECT_EQ(get("pbRefresh", "TooltipString").toUtf8(), "Downloads just the current seetings\nto the ZEL.");
  const Value headers = call1("VX_AddMenu", {});
  EXPECT_TRUE(headers.isEmpty());
}

TEST_F(AppWindow, NothingCalculatedAsksToCalculateFirst) {
  questionAnswers = {"Cancel"};
  EXPECT_FALSE(saveWaveWrote("cancelled.mat"));
  EXPECT_EQ(lastQuestionTitle(), "Waveform Not Calculated");
  EXPECT_EQ(shown.back().items, (std::vector<std::string>{"Calculate & Save", "Cancel"}));
  EXPECT_EQ(shown.back().text,
            "The waveform has not yet been calculated. Do you wish to calculate\nthe waveform and then save ?");
  questionAnswers = {"Calculate & Save"};
  EXPECT_TRUE(saveWaveWrote("calculated.mat"));
  EXPECT_TRUE(calculated());
}

TEST_F(AppWindow, ChangedParametersAskToRecalculateButSignalGeneratorSettingsDoNot) {
  click("pbCalculate");
  ASSERT_TRUE(calculated());
  const std::size_t asked = questions();
  type("txtAmplitude", "-10");
  type("txtFrequency", "2.45");
  EXPECT_TRUE(saveWaveWrote("same.mat"));
  EXPECT_EQ(questions(), asked);

  type("txtDataLength", "100");
  questionAnswers = {"Cancel"};
  EXPECT_FALSE(saveWaveWrote("stale.mat"));
  EXPECT_EQ(lastQuestionTitle(), "Waveform Not Recalculated");
  EXPECT_EQ(shown.back().items, (std::vector<std::string>{"Yes", "Recalc & Save", "Cancel"}));
  EXPECT_EQ(shown.back().defaultButton, "Recalc & Save");
  questionAnswers = {"Yes"};
  EXPECT_TRUE(saveWaveWrote("old.mat"));
  EXPECT_NE(global("appInfo").field("LastCaluclatedParameterSet").field("dataLength").scalarValue(), 100);
  questionAnswers = {"Recalc & Save"};
  EXPECT_TRUE(saveWaveWrote("new.mat"));
  EXPECT_EQ(global("appInfo").field("LastCaluclatedParameterSet").field("dataLength").scalarValue(), 100);
}

TEST_F(AppWindow, AFailedCalculationIsShownAndNotCountedAsReady) {
  Value p = global("parameters");
  p.setField("dataSourceType", Value::scalar(7));
  p.setField("dataSourceName", Value::text(workFolder + "/missing.bin"));
  setGlobal("parameters", p);
  click("pbCalculate");
  EXPECT_FALSE(calculated());
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back().kind, DOT11B_DIALOG_ERROR);
  EXPECT_NE(shown.back().text.find("missing.bin"), std::string::npos);
  EXPECT_EQ(get("main", "Pointer").toUtf8(), "arrow");
}

TEST_F(AppWindow, TheSmallerBasebandOptionAsksAboveEightMillionSamples) {
  Value p = global("parameters");
  p.setField("ProjectedLength", Value::scalar(8000000));
  setGlobal("parameters", p);
  click("menuConfigBBG1Opt1");
  EXPECT_EQ(questions(), 0u);
  EXPECT_EQ(global("configuration").field("BBGtype").toUtf8(), "001");
  EXPECT_EQ(get("menuConfigBBG1Opt1", "Checked").toUtf8(), "on");
  EXPECT_EQ(get("menuConfigBBG1Opt2", "Checked").toUtf8(), "off");
  click("menuConfigBBG1Opt2");

  type("txtDataLength", "500");
  p = global("parameters");
  p.setField("ProjectedLength", Value::scalar(8000001));
  setGlobal("parameters", p);
  questionAnswers = {"Cancel"};
  click("menuConfigBBG1Opt1");
  EXPECT_EQ(lastQuestionTitle(), "Waveform too large");
  EXPECT_EQ(global("configuration").field("BBGtype").toUtf8(), "002");
  EXPECT_EQ(parameter("dataLength"), 500);
  questionAnswers = {"Yes"};
  click("menuConfigBBG1Opt1");
  EXPECT_EQ(global("configuration").field("BBGtype").toUtf8(), "001");
  EXPECT_EQ(parameter("dataLength"), 1024) << "the settings were reset";
  EXPECT_EQ(text("txtDataLength"), "1024");
}

TEST_F(AppWindow, FileNewSaveSaveAsAndOpen) {
  type("txtDataLength", "77");
  fileAnswers = {workFolder + "/set1"};
  click("menuFileSave");
  EXPECT_TRUE(std::filesystem::exists(workFolder + "/set1.mat"));
  EXPECT_EQ(global("configuration").field("LastParameterFilename").toUtf8(), workFolder + "/set1.mat");
  EXPECT_EQ(get("main", "Name").toUtf8(), "Vantrel Wavendo - IEEE 802.11b-1999 (DSSS) : " + workFolder + "/set1.mat");

  // Save As with the special prefix saves the waveform instead, under the rest of the name.
  questionAnswers = {"MAT"};
  fileAnswers = {workFolder + "/velmira.wave.mat"};
  click("menuFileSaveAs");
  EXPECT_TRUE(std::filesystem::exists(workFolder + "/wave.mat"));
  EXPECT_EQ(global("configuration").field("LastParameterFilename").toUtf8(), workFolder + "/set1.mat");
  // Exactly the prefix saves the parameters under that name.
  fileAnswers = {workFolder + "/velmira."};
  click("menuFileSaveAs");
  EXPECT_TRUE(std::filesystem::exists(workFolder + "/velmira..mat"));

  click("menuFileNew");
  EXPECT_EQ(parameter("dataLength"), 1024);
  EXPECT_EQ(get("main", "Name").toUtf8(), "Vantrel Wavendo - IEEE 802.11b-1999 (DSSS)");
  type("txtAmplitude", "-7");
  fileAnswers = {workFolder + "/set1"};
  click("menuFileOpen");
  EXPECT_EQ(parameter("dataLength"), 77);
  EXPECT_EQ(text("txtDataLength"), "77");
  EXPECT_EQ(global("SigGenSettings").field("Amplitude").scalarValue(), -7) << "settings are not in the file";
}

TEST_F(AppWindow, OpenReportsEachLoadError) {
  questionAnswers = {"Calculate & Save"};
  EXPECT_TRUE(saveWaveWrote("data.mat"));
  const Value before = global("parameters");
  fileAnswers = {workFolder + "/data.mat"};
  click("menuFileOpen");
  EXPECT_EQ(shown.back().title, "Error Loading File");
  EXPECT_EQ(shown.back().text, workFolder + "/data.mat\nhas an Invalid File Format.");
  fileAnswers = {workFolder + "/absent.mat"};
  click("menuFileOpen");
  EXPECT_EQ(shown.back().title, "Error Loading File");
  EXPECT_EQ(global("parameters"), before);
  EXPECT_TRUE(global("configuration").field("LastParameterFilename").isEmpty());
}

TEST_F(AppWindow, ExitWritesTheConnectionSettingsAndARestartReadsThem) {
  Value c = global("configuration");
  c.setField("type", Value::text("TCPIP"));
  setGlobal("configuration", c);
  click("menuConfigBBG1Opt1");
  click("menuFileExit");
  EXPECT_EQ(call1("Findobj", {Value::text("main")}).numel(), 0u);
  ASSERT_TRUE(std::filesystem::exists(workFolder + "/defaults.mat"));
  ASSERT_EQ(mlfDot11b_c(), 0) << dot11b_last_error();
  EXPECT_EQ(global("configuration").field("type").toUtf8(), "TCPIP");
  EXPECT_EQ(get("menuConfigBBG1Opt1", "Checked").toUtf8(), "on");
  // The close box does what Exit does.
  click("main");
  EXPECT_EQ(call1("Findobj", {Value::text("main")}).numel(), 0u);
  // So does AppShutDown called as declared, without the control record.
  ASSERT_EQ(mlfDot11b_c(), 0) << dot11b_last_error();
  call("RfCommonUI", {Value::text("AppShutDown")}, 0);
  EXPECT_EQ(call1("Findobj", {Value::text("main")}).numel(), 0u);
}

TEST_F(AppWindow, AboutShowsTheApplicationsTexts) {
  click("menuHelpAbout");
  const double about = handle("figAbout");
  EXPECT_EQ(call1("Get", {Value::scalar(about), Value::text("Visible")}).toUtf8(), "on");
  click("figAbout");
  EXPECT_EQ(call1("Findobj", {Value::text("figAbout")}).numel(), 0u);
  // An About window still open closes with the application.
  click("menuHelpAbout");
  click("menuFileExit");
  EXPECT_EQ(call1("Findobj", {Value::text("figAbout")}).numel(), 0u);
}

}  // namespace
}  // namespace dot11b::gui_test
