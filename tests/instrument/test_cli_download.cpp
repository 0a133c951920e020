// SPDX-License-Identifier: GPL-3.0-or-later
// dot11b download against the simulator: over TCP/IP, and over RS-232 with the time estimate and
// the question answered on the terminal.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cli_runner.h"
#include "scoped_env.h"
#include "sim_process.h"
#include "waveform_fixtures.h"

namespace instrument_test {
namespace {

using Lines = std::vector<std::string>;

// Start values with a 980-octet payload and 16 idle samples: a frame of exactly 40000 samples.
const Lines kFortyThousandSamples = {"--set", "dataLength=980", "--set", "idleSamples=16"};
const char* kQuestion = "RS-232 Download: This Download will take approximately 2.5 minutes. Do you want to continue?";

Lines concat(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

int largestMagnitude(const std::string& bigEndian16) {
  int largest = 0;
  for (std::size_t k = 0; k + 1 < bigEndian16.size(); k += 2) {
    const auto v =
        static_cast<int16_t>((static_cast<uint8_t>(bigEndian16[k]) << 8) | static_cast<uint8_t>(bigEndian16[k + 1]));
    largest = std::max(largest, std::abs(static_cast<int>(v)));
  }
  return largest;
}

class CliDownload : public ::testing::Test {
 protected:
  ScopedEnv timeout_{"DOT11B_INSTRIO_TIMEOUT_MS", "5000"};
};

TEST_F(CliDownload, OverTcpTheWaveformAndTheFifteenCommandsArrive) {
  SimProcess sim({"--port", "0"});
  ASSERT_TRUE(sim.started());
  const CliResult r =
      runCli(concat({"download", "--to", "tcpip:127.0.0.1:" + std::to_string(sim.port())}, kFortyThousandSamples));
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.out, "Waveform has been successfully transferred to the instrument\n");
  Lines expected = {":MMEMory:DATA \"ARBI:dot11b\",#6160000[160000 bytes]",
                    ":MMEMory:DATA \"MKRI:dot11b\",#540000[40000 bytes]"};
  const Lines commands = expectedPlaybackCommandsQ6200T();
  expected.insert(expected.end(), commands.begin(), commands.end());
  expected.push_back(":SYSTem:LOCal");
  EXPECT_EQ(withoutErrorQueries(sim.logLinesUntil(":SYSTem:LOCal")), expected);

  const std::string samples = sim.stored("ARBI", "dot11b");
  const std::string markers = sim.stored("MKRI", "dot11b");
  EXPECT_EQ(largestMagnitude(samples), 32766);
  ASSERT_EQ(markers.size(), 40000u);
  // Marker 1 (full power) lies inside marker 2 (the whole frame with its ramps); the idle tail has none.
  EXPECT_TRUE(std::all_of(markers.begin(), markers.end(), [](char m) { return m == 0 || m == 2 || m == 3; }));
  EXPECT_EQ(markers.back(), 0);
}

class CliSerialDownload : public CliDownload {
 protected:
  SimProcess sim_{{"--pty"}};
  ScopedEnv device_{"DOT11B_SERIAL_PORT2", sim_.pty()};
  Lines args_ = concat({"download", "--to", "serial:2:9600:Xon/Xoff"}, kFortyThousandSamples);
};

TEST_F(CliSerialDownload, TheEstimateIsPutToTheUserAndOkTransfers) {
  ASSERT_TRUE(sim_.started());
  const CliResult r = runCliOnTerminal(args_, "OK\n");
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_NE(r.err.find(kQuestion), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("[Cancel] (default)"), std::string::npos) << r.err;
  EXPECT_EQ(sim_.stored("ARBI", "dot11b").size(), 160000u);
  EXPECT_EQ(sim_.stored("MKRI", "dot11b").size(), 40000u);
  EXPECT_EQ(withoutErrorQueries(sim_.logLinesUntil(":SYSTem:LOCal")).size(), 18u);
}

TEST_F(CliSerialDownload, CancelOrNoAnswerTransfersNothing) {
  ASSERT_TRUE(sim_.started());
  for (const char* typed : {"Cancel\n", "\n"}) {  // an empty line takes the default, "Cancel"
    const CliResult r = runCliOnTerminal(args_, typed);
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_NE(r.err.find("Error Occured During Waveform Download: download cancelled"), std::string::npos) << r.err;
  }
  const CliResult noTerminal = runCli(args_);  // closed without a choice
  EXPECT_EQ(noTerminal.exitStatus, 1);
  EXPECT_NE(noTerminal.err.find("download cancelled"), std::string::npos) << noTerminal.err;
  EXPECT_TRUE(sim_.logLines(0, std::chrono::milliseconds(200)).empty());
}

TEST_F(CliSerialDownload, YesAnswersTheQuestionWithoutATerminal) {
  ASSERT_TRUE(sim_.started());
  const CliResult r = runCli(concat(args_, {"--yes"}));
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_NE(r.err.find(kQuestion), std::string::npos) << r.err;
  EXPECT_EQ(sim_.stored("ARBI", "dot11b").size(), 160000u);
}

TEST_F(CliSerialDownload, ShortTransfersAskNothing) {
  ASSERT_TRUE(sim_.started());
  // 12000 samples at 9600 baud: exactly 0.75 minutes.
  const CliResult r =
      runCli({"download", "--to", "serial:2:9600", "--set", "dataLength=100", "--set", "idleSamples=176"});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.err.find("RS-232 Download"), std::string::npos) << r.err;
  EXPECT_EQ(sim_.stored("MKRI", "dot11b").size(), 12000u);
}

// The instrument receives exactly the samples of the 16-bit waveform file of the same frame.
TEST_F(CliDownload, StoredSamplesEqualTheSixteenBitWaveformFile) {
  SimProcess sim({"--port", "0"});
  ASSERT_TRUE(sim.started());
  char folder[] = "/tmp/dot11b-download-test-XXXXXX";
  ASSERT_NE(::mkdtemp(folder), nullptr);
  const std::string params = std::string(folder) + "/frame.mat", iq16 = std::string(folder) + "/frame.bin";
  const Lines changes = {"--set", "dataRate=5.5",   "--set", "highRateMod=1",
                         "--set", "dataLength=300", "--set", "OverSampling=5"};
  ASSERT_EQ(runCli(concat({"params", "save", params}, changes)).exitStatus, 0);
  ASSERT_EQ(runCli({"generate", "--params", params, "--format", "iq16", "--out", iq16}).exitStatus, 0);
  const CliResult r = runCli({"download", "--to", "tcpip:127.0.0.1:" + std::to_string(sim.port()), "--params", params,
                              "--title", "PBCC55"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  std::ifstream file(iq16, std::ios::binary);
  const std::string expected((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_FALSE(expected.empty());
  EXPECT_TRUE(sim.stored("ARBI", "PBCC55") == expected);
  EXPECT_EQ(withoutErrorQueries(sim.logLinesUntil(":SYSTem:LOCal")).at(6),
            " :source:rad:arb:clock:srate 55000000Hz");
  std::filesystem::remove_all(folder);
}

TEST_F(CliDownload, InstrumentRefusingASetupCommandFailsTheDownload) {
  // Commands counted by the simulator: ARBI 1, MKRI 2, then the set-up; command 10 is ":source:DM:IQAT:AUTO off".
  SimProcess sim({"--port", "0", "--fail-command", "10"});
  ASSERT_TRUE(sim.started());
  const CliResult r =
      runCli({"download", "--to", "tcpip:127.0.0.1:" + std::to_string(sim.port()), "--set", "dataLength=10"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_NE(r.err.find("Error Occured During Instrument Setup: The instrument did not take the command "
                       "':source:DM:IQAT:AUTO off'"),
            std::string::npos)
      << r.err;
}

// The return to local is the sequence's last command (18 here): its refusal fails the download, and the
// instrument's error queue is left empty, so that the next connection's first command is not blamed.
TEST_F(CliDownload, AFailedLastCommandIsReportedByTheDownload) {
  SimProcess sim({"--port", "0", "--fail-command", "18"});
  ASSERT_TRUE(sim.started());
  const std::string to = "tcpip:127.0.0.1:" + std::to_string(sim.port());
  const CliResult r = runCli({"download", "--to", to, "--set", "dataLength=10"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_NE(r.err.find("Error Occured During Instrument Setup: The instrument did not return to local control: "),
            std::string::npos) << r.err;
  EXPECT_NE(r.err.find("fault injected on command 18"), std::string::npos) << r.err;
  const CliResult next = runCli({"refresh", "--to", to, "--set", "dataLength=10"});
  EXPECT_EQ(next.exitStatus, 0) << next.err;
}

// The time-out counts from the last byte that moved: an instrument that stops taking the block fails the
// download within it, whatever the block's size; a slow line that keeps moving finishes.
TEST_F(CliDownload, AStalledTransferEndsWithinTheTimeOutAndASlowOneFinishes) {
  const ScopedEnv timeout{"DOT11B_INSTRIO_TIMEOUT_MS", "1000"};
  SimProcess stalled({"--port", "0", "--stall-in-block"});
  ASSERT_TRUE(stalled.started());
  const auto started = std::chrono::steady_clock::now();
  // About 1.6 MB of samples and markers, far beyond what the socket buffers take.
  const CliResult r = runCli({"download", "--to", "tcpip:127.0.0.1:" + std::to_string(stalled.port()), "--set",
                              "dataRate=1", "--set", "dataLength=1000"});
  const auto took = std::chrono::steady_clock::now() - started;
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_NE(r.err.find("stalled: nothing moved for 1000 ms"), std::string::npos) << r.err;
  EXPECT_LT(took, std::chrono::milliseconds(2000)) << "twice the time-out";

  SimProcess slow({"--port", "0", "--read-rate", "100000"});  // 200 kB in about 2 s
  ASSERT_TRUE(slow.started());
  const CliResult moving = runCli(concat({"download", "--to", "tcpip:127.0.0.1:" + std::to_string(slow.port())},
                                         kFortyThousandSamples));
  EXPECT_EQ(moving.exitStatus, 0) << moving.err;
}

TEST_F(CliDownload, BadParametersAreRefusedBeforeConnecting) {
  const CliResult r = runCli({"download", "--to", "tcpip:127.0.0.1:1", "--set", "dataLength=99999"});
  EXPECT_EQ(r.exitStatus, 2);
  EXPECT_NE(r.err.find("dataLength"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace instrument_test
