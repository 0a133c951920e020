// Download and Refresh from the window to the signal-generator simulator on loopback.
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
  EXPECT_EQ(shown.back().kind, DOT11B_DIALOG_MESSAGE);
  EXPECT_EQ(shown.back().title, "Error Occured During Waveform Download");
  EXPECT_NE(shown.back().text.find("127.0.0.1"), std::string::npos) << shown.back().text;
  EXPECT_EQ(get("main", "Pointer").toUtf8(), "arrow");
  click("pbRefresh");
  EXPECT_EQ(shown.back().title, "Error Occured During Instrument Setup");
}

}  // namespace
}  // namespace dot11b::gui_test
