// SPDX-License-Identifier: GPL-3.0-or-later
// The application window with the loopback radio as its signal generator, over the toolkit without
// widgets: Download plays the frame in a loop, Refresh and RF On/Off change it while it plays, the status
// line follows it, a radio that vanishes is told once, and Exit lets the radio go.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include <unistd.h>

#include "fake_toolkit.h"
#include "rx/receiver.h"
#include "runtime/library.h"
#include "settings/calculate.h"
#include "settings/clock_text.h"
#include "settings/parameter_rules.h"
#include "settings/radio_connection.h"
#include "settings/start_values.h"
#include "toolkit/controls.h"
#include "toolkit/dialogs.h"
#include "toolkit/scripted_dialogs.h"
#include "windows/app_window.h"
#include "windows/connection_dialog.h"
#include "windows/connection_dialog_radio.h"
#include "windows/radio_window.h"
#include "windows/sig_gen_panels.h"

namespace dot11b::windows_test {
namespace {

using rt::Value;

constexpr double kRate = 22e6;  // OverSampling 2, a rate the loopback radio below runs at

class RadioWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    rt::initializeLibrary();
    toolkit::install(&toolkit);
    toolkit::setDialogs(&boxes);
    folder = std::filesystem::temp_directory_path() / ("radio_window_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    store = (folder / "sent.cf32").string();
    rt::global("appInfo") = settings::initialAppInfo();
    Value parameters = settings::initialParameters();
    for (const char* a : {"OverSampling=2", "MACheader.Active=1", "MACfcs.Active=1", "dataLength=60"})
      settings::applyAssignment(parameters, a);
    settings::deriveParameters(parameters);
    rt::global("parameters") = parameters;
    rt::global("SigGenSettings") = settings::initialSigGenSettings(2);
    useRadio("store=" + store);
    const phy::Frame frame = settings::calculate(parameters);
    rt::global("waveform") = Value::complexRow(frame.waveform);
    rt::global("markers") = Value::matrix(2, frame.marker1.size(), std::vector<double>(2 * frame.marker1.size()));
    rt::global("appInfo").setField("LastCalcTimeStamp", settings::clockNow());
    rt::global("appInfo").setField("LastCaluclatedParameterSet", parameters);
    copy = frame.waveform.size();
    handles = toolkit.addWindow("main", {"pbDownload", "pbRefresh", "tbRFOutput", "lblRadioStatus"});
    windows::radio_window::startStatusLine(handles);
  }
  void TearDown() override {
    windows::radio_window::stopPlaying("the test ended");
    toolkit::setDialogs(nullptr);
    toolkit::install(nullptr);
    rt::terminateLibrary();
    std::filesystem::remove_all(folder);
  }

  void useRadio(const std::string& extra) {
    settings::RadioConnection radio;
    radio.args = "driver=loopback,max_rate=22e6," + extra;
    radio.offset = -50;
    rt::global("configuration") = settings::withRadio(settings::initialConfiguration(), radio);
  }
  Value status() { return rt::callByName("Dot11b_RadioStatus", {}, 1).front(); }
  double statusNumber(const char* field) { return status().field(field).scalarValue(); }
  // Waits (at most 10 s) until the radio has sent `samples`.
  void waitForSamples(double samples) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (statusNumber("samples") < samples && std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_GE(statusNumber("samples"), samples);
  }
  std::string statusLine() { return toolkit.get(handles.field("lblRadioStatus").scalarValue(), "String").toUtf8(); }
  void pressRf(bool on) {
    const double h = handles.field("tbRFOutput").scalarValue();
    toolkit.set(h, "Value", Value::scalar(on ? 1 : 0));
    windows::radio_window::tbRFOutput(h, handles);
  }
  std::map<std::string, std::string> stored() {
    std::map<std::string, std::string> settings;
    std::ifstream in(store + ".txt");
    for (std::string line; std::getline(in, line);)
      if (const auto eq = line.find('='); eq != std::string::npos) settings[line.substr(0, eq)] = line.substr(eq + 1);
    return settings;
  }
  ComplexRow sent() {
    std::ifstream in(store, std::ios::binary);
    ComplexRow samples;
    for (float v[2]; in.read(reinterpret_cast<char*>(v), sizeof v);) samples.emplace_back(v[0], v[1]);
    return samples;
  }
  // No sample differs from the one a waveform later (the burst's closing silence left out).
  std::size_t breaksInTheLoop(const ComplexRow& samples) {
    std::size_t differing = 0;
    for (std::size_t k = 0; k + copy + 64 < samples.size(); ++k) differing += samples[k] != samples[k + copy];
    return differing;
  }

  FakeToolkit toolkit;
  toolkit::ScriptedDialogs boxes;
  std::filesystem::path folder;
  std::string store;
  std::size_t copy = 0;
  Value handles;
};

TEST_F(RadioWindow, DownloadPlaysTheFrameInALoopAndExitReleasesTheRadio) {
  windows::app_window::pbDownload(0, handles);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].kind, "message");
  EXPECT_EQ(boxes.shown()[0].title, "Download Completed");
  const std::string& text = boxes.shown()[0].text;
  EXPECT_NE(text.find("Playing on the radio driver=loopback"), std::string::npos) << text;
  waitForSamples(4.0 * static_cast<double>(copy));
  toolkit.tick();
  EXPECT_NE(statusLine().find("playing at 2412 MHz, 22 Msample/s, underflows 0"), std::string::npos) << statusLine();
  // -30 dBm with the offset -50 dB: the gain 20 dB.
  EXPECT_EQ(status().field("gain").scalarValue(), 20);

  windows::app_window::appShutDown(handles);
  EXPECT_EQ(stored()["released"], "1");
  toolkit.tick();
  EXPECT_NE(statusLine().find("stopped (the application exited)"), std::string::npos) << statusLine();
  const ComplexRow samples = sent();
  EXPECT_EQ(breaksInTheLoop(samples), 0u);
  auto frames = rx::receiveFrames(ComplexRow(samples.begin(), samples.begin() + static_cast<long>(4 * copy)), kRate);
  ASSERT_GE(frames.size(), 3u);
  for (std::size_t k = 0; k < 3; ++k) {
    EXPECT_TRUE(frames[k].fcsOk) << k;
    if (k > 0) {
      EXPECT_NEAR(frames[k].startSample - frames[k - 1].startSample, static_cast<double>(copy), 1.5);
    }
  }
}

TEST_F(RadioWindow, RefreshChangesFrequencyAndGainWithoutAGap) {
  windows::app_window::pbDownload(0, handles);
  waitForSamples(2.0 * static_cast<double>(copy));
  rt::global("SigGenSettings").setField("Frequency", Value::scalar(2437e6));
  rt::global("SigGenSettings").setField("Amplitude", Value::scalar(-20));
  const double before = statusNumber("samples");
  windows::app_window::pbRefresh(0, handles);
  EXPECT_EQ(boxes.shown().size(), 1u);  // the Download's message alone
  EXPECT_NE(statusLine().find("playing at 2437 MHz"), std::string::npos) << statusLine();
  waitForSamples(before + 2.0 * static_cast<double>(copy));
  windows::radio_window::stopPlaying("done");
  const auto settings = stored();
  EXPECT_EQ(settings.at("frequency"), "2437000000");
  EXPECT_EQ(settings.at("gain"), "30");
  EXPECT_EQ(settings.at("bursts"), "1");
  EXPECT_EQ(breaksInTheLoop(sent()), 0u);
}

TEST_F(RadioWindow, RfOffStopsAndRfOnResumes) {
  windows::app_window::pbDownload(0, handles);
  waitForSamples(static_cast<double>(copy));
  pressRf(false);
  EXPECT_EQ(statusNumber("playing"), 0);
  EXPECT_NE(statusLine().find("stopped (RF off)"), std::string::npos) << statusLine();
  const double silent = statusNumber("samples");
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(statusNumber("samples"), silent);
  pressRf(true);
  EXPECT_EQ(statusNumber("playing"), 1);
  waitForSamples(silent + static_cast<double>(copy));
  windows::radio_window::stopPlaying("done");
  EXPECT_EQ(stored().at("bursts"), "2");
  EXPECT_EQ(boxes.shown().size(), 1u);
}

TEST_F(RadioWindow, ARadioThatVanishesIsToldOnceAndTheWindowGoesOn) {
  useRadio("fault=vanish,fault_after=300000,store=" + store);
  windows::app_window::pbDownload(0, handles);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (statusNumber("stopped") == 0 && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  toolkit.tick();
  toolkit.tick();
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[1].kind, "error");
  EXPECT_EQ(boxes.shown()[1].title, "Radio Stopped");
  EXPECT_NE(boxes.shown()[1].text.find("failed while transmitting"), std::string::npos) << boxes.shown()[1].text;
  EXPECT_NE(statusLine().find("stopped ("), std::string::npos) << statusLine();
  EXPECT_EQ(stored().at("released"), "1");
  // The window goes on: another radio plays the next Download.
  useRadio("store=" + (folder / "second.cf32").string());
  windows::app_window::pbDownload(0, handles);
  EXPECT_EQ(boxes.shown().back().title, "Download Completed");
  EXPECT_EQ(statusNumber("playing"), 1);
}

TEST_F(RadioWindow, AdvancedSettingsARadioLacksAreDisabledWithTheReason) {
  const Value dialog = toolkit.addWindow("figAdvSettings", {"pdBBfilter", "txtScaling", "txtModAtten", "chkRFblanking",
                                                            "chkALC", "chkBBrefSource", "chkMarkerPolarity"});
  EXPECT_TRUE(windows::radio_window::showRadioLimits(dialog));
  const double alc = dialog.field("chkALC").scalarValue();
  EXPECT_EQ(toolkit.get(alc, "Enable").toUtf8(), "off");
  const std::string tip = toolkit.get(alc, "TooltipString").toUtf8();
  EXPECT_NE(tip.find("A radio has no automatic level control"), std::string::npos) << tip;
  rt::global("configuration") = settings::initialConfiguration();
  EXPECT_FALSE(windows::radio_window::showRadioLimits(dialog));
  EXPECT_EQ(toolkit.get(alc, "Enable").toUtf8(), "on");
}

TEST_F(RadioWindow, FindListsTheLoopbackRadioAndFillsTheArguments) {
  const Value dialog = toolkit.addWindow(
      "figureVisaAddress", {"pmConnection", "editRadioArgs", "pmRadios", "editRadioAntenna", "editRadioChannel",
                            "editRadioOffset", "lblStatus"});
  windows::connection_dialog::pbFindRadios(0, dialog);
  const double list = dialog.field("pmRadios").scalarValue();
  const Value items = toolkit.get(list, "String");
  ASSERT_EQ(items.cells().size(), 1u);
  EXPECT_EQ(items.cells()[0].toUtf8(), "driver=loopback,serial=LB0001");
  const double args = dialog.field("editRadioArgs").scalarValue();
  EXPECT_EQ(toolkit.get(args, "String").toUtf8(), "driver=loopback,serial=LB0001");
  EXPECT_EQ(toolkit.get(dialog.field("lblStatus").scalarValue(), "String").toUtf8(), "Found 1 radio(s)");
  toolkit::Control(dialog.field("pmConnection").scalarValue()).setItems({"GPIB", "TCP/IP", "Radio (SoapySDR)"});
  EXPECT_EQ(windows::connection_dialog::convertStringToIndex(dialog.field("pmConnection").scalarValue(), "SOAPY"), 3);
  EXPECT_EQ(windows::connection_dialog::convertIndexToString(dialog.field("pmConnection").scalarValue(), 3), "SOAPY");
}

}  // namespace
}  // namespace dot11b::windows_test
