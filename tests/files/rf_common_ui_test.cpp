// SPDX-License-Identifier: GPL-3.0-or-later
// The File commands of the application window module, run in-process with scripted dialogs and a stand-in
// for the format module.
#include <gtest/gtest.h>

#include "files/connection_settings.h"
#include "files/iq16_file.h"
#include "files/parameter_files.h"
#include "runtime/library.h"
#include "runtime/matfile/matfile.h"
#include "settings/parameter_rules.h"
#include "settings/start_values.h"
#include "test_support.h"
#include "toolkit/scripted_dialogs.h"

namespace dot11b::rt {
namespace {

// What the stand-in format module was asked to do, e.g. "InitializeParameters", "redraw".
std::vector<std::string> formatModuleCalls;

void registerStandInFormatModule(Registry& r) {
  r.add({"Dot11b_GUI_c", "dot11b_GUI_c", 1, kVariable, kVariable, [](const Values& in, int) {
           const std::string sub = in.at(0).toUtf8();
           formatModuleCalls.push_back(sub);
           if (sub == "InitializeParameters") global("parameters") = settings::initialParameters();
           if (sub == "InitializeSigGenSettings") global("SigGenSettings") = settings::initialSigGenSettings(4);
           return Values{};
         }});
}

DOT11B_REGISTER_ROUTINES(registerStandInFormatModule)

Value text(const std::string& s) { return Value::text(s); }

class FileCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    initializeLibrary();
    global("appInfo") = settings::initialAppInfo();
    global("configuration") = settings::initialConfiguration();
    global("parameters") = settings::initialParameters();
    global("SigGenSettings") = settings::initialSigGenSettings(4);
    global("waveform") = Value::complexRow({{1, 1}, {-1, -0.5}});
    formatModuleCalls.clear();
    toolkit::setDialogs(&boxes);
    handles = Value::record();
    handles.setField("main", Value::scalar(1));
  }
  void TearDown() override {
    toolkit::setDialogs(nullptr);
    terminateLibrary();
  }

  // Runs a sub-routine through the module's dispatching entry; returns what it printed as an error.
  std::string run(const std::string& sub, Values args = {}, Values* results = nullptr, int nargout = 0) {
    args.insert(args.begin(), text(sub));
    ::testing::internal::CaptureStderr();
    Values out = callByName("RfCommonUI", args, nargout);
    if (results) *results = out;
    return ::testing::internal::GetCapturedStderr();
  }
  std::string callback(const std::string& name) { return run(name, {Value(), Value(), handles}); }

  std::string lastFile() const {
    const Value& v = global("configuration").field("LastParameterFilename");
    return v.isEmpty() ? "" : v.toUtf8();
  }
  void changeParameters() {
    settings::applyAssignment(global("parameters"), "dataLength=77");
    settings::deriveParameters(global("parameters"));
  }

  test::ScratchDir dir;
  toolkit::ScriptedDialogs boxes;
  Value handles;
};

TEST_F(FileCommands, SaveWithoutANameAsksAndRemembersTheFile) {
  boxes.chooseFile(toolkit::FileChoice{dir.path().string() + "/", "set1"});
  changeParameters();
  EXPECT_EQ(callback("menuFileSave_Callback"), "");
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].kind, "save");
  EXPECT_EQ(boxes.shown()[0].title, "*.mat");
  EXPECT_EQ(lastFile(), dir / "set1.mat");
  const auto back = files::readParameterFile(dir / "set1.mat", "dot11b - Format 1.0");
  EXPECT_EQ(back.parameters, global("parameters"));
}

TEST_F(FileCommands, SaveWithANameWritesWithoutAsking) {
  global("configuration").setField("LastParameterFilename", text(dir / "known.mat"));
  callback("menuFileSave_Callback");
  EXPECT_TRUE(boxes.shown().empty());
  EXPECT_TRUE(std::filesystem::exists(dir / "known.mat"));
}

TEST_F(FileCommands, CancelledSaveDoesNothing) {
  callback("menuFileSave_Callback");
  EXPECT_EQ(lastFile(), "");
  EXPECT_EQ(dir.entryCount(), 0u);
}

TEST_F(FileCommands, FailedSaveAsKeepsThePreviousName) {
  global("configuration").setField("LastParameterFilename", text(dir / "old.mat"));
  boxes.chooseFile(toolkit::FileChoice{"/nonexistent-folder/", "new"});
  callback("menuFileSaveAs_Callback");
  EXPECT_EQ(lastFile(), dir / "old.mat");
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[1].kind, "error");
  EXPECT_EQ(boxes.shown()[1].title, "Error Saving /nonexistent-folder/new.mat");
}

TEST_F(FileCommands, SaveAsWithTheSpecialPrefixSavesTheWaveform) {
  boxes.chooseFile(toolkit::FileChoice{dir.path().string() + "/", "velmira.wave.iq16"});
  boxes.answerQuestion("Flarevane");
  callback("menuFileSaveAs_Callback");
  EXPECT_EQ(lastFile(), "");
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[1].title, "Special Save");
  EXPECT_EQ(boxes.shown()[1].text, "Select file format.");
  EXPECT_EQ(boxes.shown()[1].buttons, (std::vector<std::string>{"ASCII", "Flarevane", "MAT"}));
  EXPECT_EQ(boxes.shown()[1].defaultButton, "ASCII");
  EXPECT_EQ(test::readBytes(dir / "wave.iq16"), std::string("\x7F\xFE\x7F\xFE\x80\x02\xC0\x01", 8));
}

TEST_F(FileCommands, SaveAsWithOnlyThePrefixSavesTheParameters) {
  boxes.chooseFile(toolkit::FileChoice{dir.path().string() + "/", "velmira."});
  callback("menuFileSaveAs_Callback");
  EXPECT_EQ(lastFile(), dir / "velmira..mat");
  EXPECT_TRUE(std::filesystem::exists(dir / "velmira..mat"));
}

TEST_F(FileCommands, OpenRestoresTheParametersAndLeavesTheSignalGeneratorSettings) {
  changeParameters();
  const Value saved = global("parameters");
  files::saveParameterFile(dir / "set2.mat", saved);
  global("parameters") = settings::initialParameters();
  global("SigGenSettings").setField("Frequency", Value::scalar(2.4e9));
  const Value sigGen = global("SigGenSettings");

  boxes.chooseFile(toolkit::FileChoice{dir.path().string() + "/", "set2"});
  EXPECT_EQ(callback("menuFileOpen_Callback"), "");
  EXPECT_EQ(global("parameters"), saved);
  EXPECT_EQ(global("SigGenSettings"), sigGen);
  EXPECT_EQ(lastFile(), dir / "set2.mat");
  EXPECT_EQ(boxes.shown()[0].kind, "open");
  EXPECT_EQ(formatModuleCalls, std::vector<std::string>{"redraw"});

  EXPECT_EQ(callByName("CompareStruct", {saved, global("parameters")}, 1).at(0), Value::scalar(1));
}

TEST_F(FileCommands, OpenOfADamagedFileChangesNothing) {
  Value damaged = settings::initialParameters();
  damaged.setField("dataLength", Value::text("many"));
  writeMatFile(dir / "bad.mat", {{"fileParameters", damaged}});
  global("configuration").setField("LastParameterFilename", text(dir / "previous.mat"));
  const Value before = global("parameters");

  boxes.chooseFile(toolkit::FileChoice{dir.path().string() + "/", "bad.mat"});
  callback("menuFileOpen_Callback");
  EXPECT_EQ(global("parameters"), before);
  EXPECT_EQ(lastFile(), dir / "previous.mat");
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[1].title, "Error Loading File");
  EXPECT_EQ(boxes.shown()[1].text, dir / "bad.mat" + "\nhas an Invalid File Structure.");
  EXPECT_TRUE(formatModuleCalls.empty());
}

TEST_F(FileCommands, NewStartsAgainAndForgetsTheFile) {
  global("configuration").setField("LastParameterFilename", text(dir / "x.mat"));
  changeParameters();
  callback("menuFileNew_Callback");
  EXPECT_EQ(lastFile(), "");
  EXPECT_EQ(global("parameters"), settings::initialParameters());
  EXPECT_EQ(formatModuleCalls, (std::vector<std::string>{"InitializeParameters", "InitializeSigGenSettings", "redraw"}));
}

TEST_F(FileCommands, LoadParametersAnswersSuccess) {
  files::saveParameterFile(dir / "ok.mat", settings::initialParameters());
  Values results;
  run("loadParameters", {text(dir / "ok.mat"), Value()}, &results, 1);
  EXPECT_EQ(results.at(0), Value::scalar(1));
  run("loadParameters", {text(dir / "missing.mat"), Value()}, &results, 1);
  EXPECT_EQ(results.at(0), Value::scalar(0));
  EXPECT_EQ(boxes.shown().back().title, "Error Loading File");
}

TEST_F(FileCommands, SpecialSaveClosedWithoutChoiceWritesNothing) {
  run("saveWaveform", {text(dir / "w")});
  EXPECT_EQ(dir.entryCount(), 0u);
}

TEST_F(FileCommands, SpecialSaveMatChoiceWritesTheComplexColumn) {
  boxes.answerQuestion("MAT");
  run("saveWaveform", {text(dir / "w.mat")});
  const MatVariables vars = readMatFile(dir / "w.mat");
  ASSERT_EQ(vars.size(), 1u);
  EXPECT_EQ(vars[0].first, "samples");
  EXPECT_EQ(vars[0].second, Value::matrix(2, 1, {1, -1}, {1, -0.5}));
}

TEST_F(FileCommands, SpecialSaveFailureIsShown) {
  global("waveform") = Value::complexRow({{40000, 40000}});
  boxes.answerQuestion("Flarevane");
  run("saveWaveform", {text(dir / "w.iq16")});
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[1].kind, "error");
  EXPECT_EQ(boxes.shown()[1].title, "Error Saving " + dir / "w.iq16");
  EXPECT_EQ(dir.entryCount(), 0u);
}

TEST_F(FileCommands, SpecialSaveWithoutAWaveformWritesEmptyData) {
  global("waveform") = Value();
  boxes.answerQuestion("Flarevane");
  run("saveWaveform", {text(dir / "w.iq16")});
  EXPECT_EQ(test::readBytes(dir / "w.iq16"), "");
}

TEST_F(FileCommands, TitleShowsTheParameterFile) {
  Values results;
  run("redrawAppTitle", {handles}, &results, 1);
  EXPECT_EQ(results.at(0), text("Vantrel Wavendo - IEEE 802.11b-1999 (DSSS)"));
  global("configuration").setField("LastParameterFilename", text("/x/set1.mat"));
  run("redrawAppTitle", {handles}, &results, 1);
  EXPECT_EQ(results.at(0), text("Vantrel Wavendo - IEEE 802.11b-1999 (DSSS) : /x/set1.mat"));
}

TEST_F(FileCommands, ConnectionSettingsPersistInTheWorkingFolder) {
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  Values results;
  run("loadConfig", {}, &results, 1);
  EXPECT_TRUE(results.at(0).isEmpty());
  Value configuration = settings::initialConfiguration();
  configuration.setField("type", text("TCPIP"));
  run("saveConfig", {configuration});
  run("loadConfig", {}, &results, 1);
  std::filesystem::current_path(previous);
  EXPECT_EQ(results.at(0), configuration);
  EXPECT_TRUE(std::filesystem::exists(dir / "defaults.mat"));
}

}  // namespace
}  // namespace dot11b::rt
