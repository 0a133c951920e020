// SPDX-License-Identifier: GPL-3.0-or-later
// Download and Refresh from the window to the signal-generator simulator on loopback.
#include <chrono>
#include <cstdio>
#include <memory>

#include "app_driver.h"
#include "sim_process.h"

namespace dot11b::gui_test {
namespace {

using instrument_test::SimProcess;

class Download : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    sim = std::make_unique<SimProcess>(std::vector<std::string>{"--port", "0"});
    ASSERT_TRUE(sim->started());
    connectTo(sim->port());
    type("txtDataLength", "100");
    click("pbCalculate");
  }
  void connectTo(int port) {
    Value c = global("configuration");
    c.setField("type", Value::text("TCPIP"));
    Value tcpip = c.field("TCPIP");
    tcpip.setField("address", Value::text("127.0.0.1:" + std::to_string(port)));
    c.setField("TCPIP", tcpip);
    setGlobal("configuration", c);
  }
  std::unique_ptr<SimProcess> sim;
};

// A line of 100 kB/s: the largest payload at oversampling 9 takes about eight seconds.
class SlowDownload : public Download {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    sim = std::make_unique<SimProcess>(std::vector<std::string>{"--port", "0", "--read-rate", "100000"});
    ASSERT_TRUE(sim->started());
    connectTo(sim->port());
    type("txtOversampleRate", "9");
    type("txtDataLength", "2312");
    click("pbCalculate");
  }
};

// An instrument that takes the connection and every command but never answers.
class SilentInstrument : public Download {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    sim = std::make_unique<SimProcess>(std::vector<std::string>{"--port", "0", "--silent"});
    ASSERT_TRUE(sim->started());
    connectTo(sim->port());
  }
};

TEST_F(Download, TheWaveformReachesTheInstrument) {
  click("pbDownload");
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back().title, "Download Completed");
  EXPECT_EQ(shown.back().text, "Waveform has been successfully transferred to the instrument");
  EXPECT_TRUE(sim->hasStored("ARBI", "dot11b"));
  EXPECT_EQ(get("main", "Pointer").toUtf8(), "arrow");
  // Refresh sends the settings and says nothing when they were taken.
  const std::size_t messages = shown.size();
  click("pbRefresh");
  EXPECT_EQ(shown.size(), messages);
}

TEST_F(Download, AStoppedInstrumentIsReportedAsADownloadError) {
  const int port = sim->port();
  sim.reset();
  connectTo(port);
  click("pbDownload");
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back().kind, DOT11B_DIALOG_ERROR);
  EXPECT_EQ(shown.back().title, "Error Occured During Waveform Download");
  EXPECT_NE(shown.back().text.find("127.0.0.1"), std::string::npos) << shown.back().text;
  EXPECT_EQ(get("main", "Pointer").toUtf8(), "arrow");
  click("pbRefresh");
  EXPECT_EQ(shown.back().kind, DOT11B_DIALOG_ERROR);
  EXPECT_EQ(shown.back().title, "Error Occured During Instrument Setup");
}

TEST_F(SlowDownload, CancelStopsTheTransferAndIsReportedAsCancelled) {
  using Clock = std::chrono::steady_clock;
  Clock::time_point cancelled;
  bool progressShown = false;
  onWait = [&](double window) {
    progressShown = call1("Get", {Value::scalar(window), Value::text("Tag")}).toUtf8() == "figProgress";
    call("Pause", {Value::scalar(0.5)}, 0);
    cancelled = Clock::now();
    click("pbCancel");
  };
  click("pbDownload");
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - cancelled).count();
  std::printf("the transfer ended %lld ms after Cancel\n", static_cast<long long>(took));
  EXPECT_TRUE(progressShown);
  // A hang guard, not a speed measure: the module hears the cancel within its 100 ms steps.
  EXPECT_LT(took, 2000);
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back().title, "Error Occured During Waveform Download");
  EXPECT_NE(shown.back().text.find("cancelled"), std::string::npos) << shown.back().text;
  EXPECT_FALSE(sim->hasStored("ARBI", "dot11b"));
  EXPECT_EQ(get("main", "Pointer").toUtf8(), "arrow");
}

}  // namespace
}  // namespace dot11b::gui_test

namespace dot11b::gui_test {
namespace {

TEST_F(SilentInstrument, RefreshShowsItsProgressAndCancelEndsIt) {
  // Far longer than the test: only the Cancel can end the wait for the instrument's reply.
  setenv("DOT11B_INSTRIO_TIMEOUT_MS", "30000", 1);
  std::string progressTitle;
  onWait = [&](double window) {
    if (call1("Get", {Value::scalar(window), Value::text("Tag")}).toUtf8() == "figProgress") {
      progressTitle = call1("Get", {Value::scalar(window), Value::text("Name")}).toUtf8();
    }
    sim->logLines(1);  // the first command is out, and its reply awaited
    click("pbCancel");
  };
  click("pbRefresh");
  EXPECT_EQ(progressTitle, "Setting up the instrument");
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back().title, "Error Occured During Instrument Setup");
  EXPECT_EQ(shown.back().text,
            "Instrument setup cancelled during command 1 of 15; the instrument may be only partly set up");
  EXPECT_EQ(instrument_test::withoutErrorQueries(sim->logLines(3)),
            (std::vector<std::string>{" :source:rad:arb:state off", ":SYSTem:LOCal"}));
}

}  // namespace
}  // namespace dot11b::gui_test
