// SPDX-License-Identifier: GPL-3.0-or-later
// The playback routines through the library's C interface, against the simulator.
#include <gtest/gtest.h>

#include "c_values.h"
#include "scoped_env.h"
#include "sim_process.h"
#include "waveform_fixtures.h"

namespace instrument_test {
namespace {

using Lines = std::vector<std::string>;

class PlaybackBindings : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Dot11b_c_libInitialize(), 1);
    startRecord("InitializeParameters", "parameters");
    settings_ = startRecord("InitializeSigGenSettings", "SigGenSettings");
  }
  void TearDown() override { Dot11b_c_libTerminate(); }

  // Puts a waveform named "dot11b" into the instrument, as a Download does first.
  void downloadWaveform(const Handle& config) {
    const TestWaveform w = pseudoRandomWaveform(100);
    const Handle data = complexRow(w.i, w.q), markers = matrix(1, 100, std::vector<double>(100, 0.0));
    const Handle norm = text("norm"), one = scalar(1), name = text("dot11b");
    ASSERT_EQ(call2("HwDownload", {&config, &data, &markers, &norm, &one, &name}).status, 0);
  }

  Reply play(const char* routine, const Handle& config, const std::string& title = "dot11b") {
    const Handle name = text(title);
    return call2(routine, {&name, &settings_, &config});
  }

  ScopedEnv timeout_{"DOT11B_INSTRIO_TIMEOUT_MS", "5000"};
  Handle settings_;
};

Lines withDownload(const Lines& commands) {
  Lines lines = {":MMEMory:DATA \"ARBI:dot11b\",#3400[400 bytes]", ":MMEMory:DATA \"MKRI:dot11b\",#3100[100 bytes]"};
  lines.insert(lines.end(), commands.begin(), commands.end());
  lines.push_back(":SYSTem:LOCal");
  return lines;
}

TEST_F(PlaybackBindings, Q6200tPlaybackSendsItsFifteenCommandsThenLocal) {
  SimProcess sim({"--port", "0"});
  ASSERT_TRUE(sim.started());
  const Handle config = tcpConfiguration(sim.port());
  downloadWaveform(config);
  const Reply reply = play("ZELPlay_c", config);
  ASSERT_EQ(reply.rc, 0) << reply.error;
  EXPECT_EQ(reply.status, 0) << reply.description;
  const Lines expected = withDownload(expectedPlaybackCommandsQ6200T());
  const Lines logged = sim.logLinesUntil(":SYSTem:LOCal");
  EXPECT_EQ(withoutErrorQueries(logged), expected);
  EXPECT_EQ(logged.size(), expected.size() + 17)
      << "one :SYSTem:ERRor? after the download and after each command, the return to local included";
}

TEST_F(PlaybackBindings, OlderPlatformSendsElevenCommandsWithTheReconstructionFilter) {
  SimProcess sim({"--port", "0"});
  ASSERT_TRUE(sim.started());
  const Handle config = tcpConfiguration(sim.port());
  downloadWaveform(config);
  setField(settings_, "ReconFilter", scalar(1));
  EXPECT_EQ(play("ZELPlay", config).status, 0);
  const Lines expected = withDownload(expectedPlaybackCommandsOlderPlatform());
  EXPECT_EQ(withoutErrorQueries(sim.logLinesUntil(":SYSTem:LOCal")), expected);
}

TEST_F(PlaybackBindings, RefreshSendsOnlyTheCommands) {
  SimProcess sim({"--port", "0"});
  ASSERT_TRUE(sim.started());
  const Handle config = tcpConfiguration(sim.port());
  downloadWaveform(config);
  const std::size_t before = sim.logLines(3).size();
  setField(settings_, "Amplitude", scalar(-12.5));
  EXPECT_EQ(play("ZELPlay_c", config).status, 0);
  const Lines all = sim.logLinesUntil(":SYSTem:LOCal");
  Lines refresh = withoutErrorQueries(Lines(all.begin() + static_cast<long>(before), all.end()));
  Lines expected = expectedPlaybackCommandsQ6200T();
  expected[3] = " :source:power:level:immediate:amplitude -12.5dbm";
  expected.push_back(":SYSTem:LOCal");
  EXPECT_EQ(refresh, expected);
}

TEST_F(PlaybackBindings, AFailedCommandIsReportedAndTheRestStillSent) {
  // Commands counted by the simulator: ARBI 1, MKRI 2, then the playback: state off 3, waveform 4, frequency 5.
  SimProcess sim({"--port", "0", "--fail-command", "5"});
  ASSERT_TRUE(sim.started());
  const Handle config = tcpConfiguration(sim.port());
  downloadWaveform(config);
  const Reply reply = play("ZELPlay_c", config);
  EXPECT_NE(reply.status, 0);
  EXPECT_EQ(reply.description,
            "The instrument did not take the command ' :source:freq:fix 2412000000Hz': "
            "-200,\"Execution error;fault injected on command 5\"");
  EXPECT_EQ(withoutErrorQueries(sim.logLinesUntil(":SYSTem:LOCal")).size(), 18u)
      << "all 15 commands and local were still sent";
}

TEST_F(PlaybackBindings, ASilentInstrumentStopsTheSequenceAtTheFirstCommand) {
  const ScopedEnv shortTimeout("DOT11B_INSTRIO_TIMEOUT_MS", "300");
  SimProcess sim({"--port", "0", "--silent"});
  ASSERT_TRUE(sim.started());
  const Reply reply = play("ZELPlay_c", tcpConfiguration(sim.port()));
  EXPECT_NE(reply.status, 0);
  EXPECT_NE(reply.description.find("the 14 commands after it were not sent"), std::string::npos) << reply.description;
  const Lines expected = {" :source:rad:arb:state off", ":SYSTem:LOCal"};
  EXPECT_EQ(withoutErrorQueries(sim.logLinesUntil(":SYSTem:LOCal")), expected);
}

TEST_F(PlaybackBindings, BadTitleIsRefusedBeforeAnythingIsSent) {
  SimProcess sim({"--port", "0"});
  ASSERT_TRUE(sim.started());
  const Handle config = tcpConfiguration(sim.port());
  for (const char* title : {"a\"b", "two\nlines", ""}) {
    const Reply reply = play("ZELPlay_c", config, title);
    EXPECT_NE(reply.status, 0) << title;
    EXPECT_NE(reply.description.find("nothing was sent"), std::string::npos) << reply.description;
  }
  EXPECT_TRUE(sim.logLines(0, std::chrono::milliseconds(200)).empty());
}

TEST_F(PlaybackBindings, MissingSettingIsAnErrorBeforeAnythingIsSent) {
  SimProcess sim({"--port", "0"});
  ASSERT_TRUE(sim.started());
  const Handle config = tcpConfiguration(sim.port());
  Handle partial(dot11b_create_record());
  setField(partial, "Frequency", scalar(2412e6));
  const Handle name = text("dot11b");
  const Reply reply = call2("ZELPlay_c", {&name, &partial, &config});
  EXPECT_EQ(reply.rc, -1);
  EXPECT_NE(reply.error.find("ZELPlay_c: the signal generator settings have no field 'Amplitude'"), std::string::npos)
      << reply.error;
  EXPECT_TRUE(sim.logLines(0, std::chrono::milliseconds(200)).empty());
}

}  // namespace
}  // namespace instrument_test
