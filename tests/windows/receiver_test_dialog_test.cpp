// SPDX-License-Identifier: GPL-3.0-or-later
// Configuration > Receiver Test over the toolkit without widgets: the test and rate set their clause's
// level plan, refused entries are told and undone, and OK makes the composite the current waveform at its
// rate with the amplitude that puts the wanted frames at the test level, measured on the samples.
#include <gtest/gtest.h>

#include <cmath>

#include "fake_toolkit.h"
#include "runtime/library.h"
#include "settings/parameter_rules.h"
#include "settings/start_values.h"
#include "toolkit/dialogs.h"
#include "toolkit/scripted_dialogs.h"
#include "windows/app_window.h"
#include "windows/receiver_test/receiver_test_dialog.h"
#include "windows/window_module.h"

namespace dot11b::windows_test {
namespace {

using rt::Value;
namespace dialog = windows::receiver_test_dialog;

class ReceiverTestDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    rt::initializeLibrary();
    toolkit::install(&toolkit);
    toolkit::setDialogs(&boxes);
    rt::global("appInfo") = settings::initialAppInfo();
    Value parameters = settings::initialParameters();
    settings::applyAssignment(parameters, "OverSampling=2");
    settings::deriveParameters(parameters);
    rt::global("parameters") = parameters;
    rt::global("SigGenSettings") = settings::initialSigGenSettings(2);
    rt::global("configuration") = settings::initialConfiguration();
    handles = toolkit.addWindow(
        "figReceiverTest", {"pmTest", "pmRate", "txtFrames", "txtWantedLevel", "chkInterferer", "txtInterfererOffset",
                            "txtInterfererLevel", "lblPlan", "lblAmplitude", "pbCompose", "pbOK", "pbCancel"});
    dialog::initializeFigure(handles);
    choose("pmRate", 4);  // 11 Mbit/s
    type("txtFrames", "2", dialog::txtFrames);
  }
  void TearDown() override {
    dialog::leaveComposite();
    toolkit::setDialogs(nullptr);
    toolkit::install(nullptr);
    rt::terminateLibrary();
  }

  double handle(const char* tag) { return handles.field(tag).scalarValue(); }
  std::string text(const char* tag) { return toolkit.get(handle(tag), "String").toUtf8(); }
  bool enabled(const char* tag) { return toolkit.get(handle(tag), "Enable").toUtf8() == "on"; }
  void choose(const char* tag, int entry) {
    toolkit.set(handle(tag), "Value", Value::scalar(entry));
    (std::string(tag) == "pmTest" ? dialog::pmTest : dialog::pmRate)(handle(tag), handles);
  }
  void type(const char* tag, const char* typed, windows::ControlCallback callback) {
    toolkit.set(handle(tag), "String", Value::text(typed));
    callback(handle(tag), handles);
  }
  // The error box the last entry raised, cleared for the next.
  std::string lastError() {
    std::string shown;
    if (!boxes.shown().empty() && boxes.shown().back().kind == "error") shown = boxes.shown().back().text;
    boxes.clear();
    return shown;
  }

  FakeToolkit toolkit;
  toolkit::ScriptedDialogs boxes;
  Value handles;
};

TEST_F(ReceiverTestDialog, TheTestAndTheRateSetTheirClausesLevelPlan) {
  choose("pmTest", 3);  // adjacent channel rejection
  EXPECT_EQ(text("txtWantedLevel"), "-70");
  EXPECT_EQ(toolkit.get(handle("chkInterferer"), "Value").scalarValue(), 1);
  EXPECT_EQ(text("txtInterfererOffset"), "25");
  EXPECT_EQ(text("txtInterfererLevel"), "35");
  EXPECT_NE(text("lblPlan").find("18.4.8.3"), std::string::npos) << text("lblPlan");
  EXPECT_NE(text("lblPlan").find("2 frames of 1024-octet PSDUs at 11 Mbit/s"), std::string::npos);

  choose("pmRate", 1);  // the DSSS clause: its spacing and its sensitivity
  EXPECT_EQ(text("txtWantedLevel"), "-74");
  EXPECT_EQ(text("txtInterfererOffset"), "30");
  EXPECT_NE(text("lblPlan").find("15.4.8.3"), std::string::npos) << text("lblPlan");

  choose("pmTest", 1);  // sensitivity: no interferer, its fields wait for one
  EXPECT_EQ(text("txtWantedLevel"), "-80");
  EXPECT_EQ(toolkit.get(handle("chkInterferer"), "Value").scalarValue(), 0);
  EXPECT_FALSE(enabled("txtInterfererOffset"));
  EXPECT_EQ(text("lblPlan").find("Interferer"), std::string::npos);

  // One added to it lies where the user puts it, below the wanted signal too.
  toolkit.set(handle("chkInterferer"), "Value", Value::scalar(1));
  dialog::chkInterferer(handle("chkInterferer"), handles);
  type("txtInterfererOffset", "-40", dialog::txtInterfererOffset);
  EXPECT_NE(text("lblPlan").find("40 MHz below, -45 dBm (35 dB above the wanted)"), std::string::npos)
      << text("lblPlan");
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ReceiverTestDialog, ARefusedEntryIsToldAndTheFieldShowsThePlanAgain) {
  choose("pmTest", 3);
  const struct {
    const char* tag;
    const char* typed;
    windows::ControlCallback callback;
    const char* told;
  } refused[] = {
      {"txtFrames", "0", dialog::txtFrames, "Frames: a whole number from 1 to"},
      {"txtFrames", "2.5", dialog::txtFrames, "Frames: a whole number"},
      {"txtWantedLevel", "-70 dBm", dialog::txtWantedLevel, "Wanted level: '-70 dBm' is not a number"},
      {"txtWantedLevel", "30", dialog::txtWantedLevel, "-136 to 20 dBm"},
      {"txtInterfererOffset", "10", dialog::txtInterfererOffset, "at least 25 MHz"},
      {"txtInterfererOffset", "500", dialog::txtInterfererOffset, "200"},
      {"txtInterfererLevel", "90", dialog::txtInterfererLevel, "at most 80 dB"},
  };
  for (const auto& r : refused) {
    const std::string before = text(r.tag);
    type(r.tag, r.typed, r.callback);
    const std::string told = lastError();
    EXPECT_NE(told.find(r.told), std::string::npos) << r.typed << ": " << told;
    EXPECT_EQ(text(r.tag), before) << r.typed;
  }
  // A level moves the interferer with it: the difference is the test's.
  type("txtWantedLevel", "-60", dialog::txtWantedLevel);
  EXPECT_NE(text("lblPlan").find("-25 dBm (35 dB above the wanted)"), std::string::npos) << text("lblPlan");
}

TEST_F(ReceiverTestDialog, OkMakesTheCompositeCurrentWithTheAmplitudeThatPutsTheWantedFramesAtTheLevel) {
  choose("pmTest", 1);  // sensitivity, -76 dBm, no interferer: the frames' power is on the markers
  dialog::pbCompose(handle("pbCompose"), handles);
  const std::string shown = text("lblAmplitude");
  ASSERT_EQ(shown.rfind("Amplitude to set: ", 0), 0u) << shown;
  const double amplitude = std::stod(shown.substr(18));
  EXPECT_NE(shown.find("puts the wanted frames at -76 dBm"), std::string::npos) << shown;

  dialog::pbOK(handle("pbOK"), handles);
  const Value& waveform = rt::global("waveform");
  const Value& markers = rt::global("markers");
  ASSERT_EQ(markers.cols(), waveform.numel());
  double all = 0, frames = 0;
  std::size_t inFrames = 0;
  for (std::size_t n = 0; n < waveform.numel(); ++n) {
    const double p = waveform.re(n) * waveform.re(n) + waveform.im(n) * waveform.im(n);
    all += p;
    if (markers.re(2 * n + 1) != 0) frames += p, ++inFrames;  // column-major: row 2 is the whole frame
  }
  // The generator sets the mean power over every sample to the amplitude.
  const double wantedDbm = amplitude - 10 * std::log10((all / waveform.numel()) / (frames / inFrames));
  EXPECT_NEAR(wantedDbm, -76, 0.01);
  EXPECT_EQ(rt::global("SigGenSettings").field("Amplitude").scalarValue(), amplitude);
  // The band of 11 MHz either side of the carrier within 80 % of the rate's.
  EXPECT_EQ(rt::global("SigGenSettings").field("SamplingRate").scalarValue(), 33e6);

  // The plots take it as calculated for the parameters as they stand.
  EXPECT_TRUE(windows::app_window::checkWaveformReady(handles, "Plot"));
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ReceiverTestDialog, TheAdjacentChannelCompositeKeepsItsRateUntilAFrameIsCalculatedAgain) {
  choose("pmTest", 3);
  dialog::pbOK(handle("pbOK"), handles);
  ASSERT_TRUE(boxes.shown().empty()) << boxes.shown().front().text;
  EXPECT_EQ(rt::global("SigGenSettings").field("SamplingRate").scalarValue(), 99e6);
  EXPECT_EQ(dialog::currentCompositeRate(), 99e6);  // the eye and scatter diagrams' samples a chip
  dialog::leaveComposite();
  EXPECT_EQ(rt::global("SigGenSettings").field("SamplingRate").scalarValue(), 22e6);
  EXPECT_FALSE(dialog::currentCompositeRate());
}

}  // namespace
}  // namespace dot11b::windows_test
