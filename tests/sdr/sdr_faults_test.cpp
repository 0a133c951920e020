// SPDX-License-Identifier: GPL-3.0-or-later
// What goes wrong with a radio, through the commands: each fault ends in time with a message that names
// the radio and what it refused, and a refused setting sends nothing. Ctrl-C stops a stream and releases
// the radio.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "instrument/cli_runner.h"
#include "loopback_support.h"

namespace {

using instrument_test::runCli;
using sdr_test::Folder;

TEST(RadioFaults, EachEndsWithItsMessage) {
  const std::vector<std::string> beacon = {"--template", "beacon", "--repeat", "20"};
  const struct {
    std::string device;
    std::vector<std::string> options;
    int status;
    std::string message;  // on stderr
    bool sends;           // whether anything reached the radio
  } cases[] = {
      {"driver=hackrf", {}, 1, "no radio matches 'driver=hackrf,store=", false},
      {"driver=hackrf", {}, 1, "; the radios found:\n  driver=loopback, label=dot11b loopback radio, serial=LB0001", false},
      {"driver=loopback,serial=X9", {}, 1, "no radio matches 'driver=loopback,serial=X9,", false},
      {"driver=loopback,refuse=rate", {}, 1, "refused the transmit sample rate 20000000 Hz: loopback: rate 20000000 is locked out", false},
      {"driver=loopback", {"--rate", "25e6"}, 1, "serial=LB0001 refused the transmit sample rate 25000000 Hz: it runs at 2 to 20 Msample/s", false},
      {"driver=loopback,refuse=frequency", {}, 1, "refused the transmit frequency 2412000000 Hz: loopback: frequency 2412000000 is locked out", false},
      {"driver=loopback", {"--frequency", "7e9"}, 1, "refused the transmit frequency 7000000000 Hz: it tunes over 1 to 6000 MHz", false},
      {"driver=loopback", {"--gain", "62"}, 1, "refused the transmit gain 62 dB: its gain runs from 0 to 61 dB", false},
      {"driver=loopback", {"--gain", "LNA=8"}, 1, "refused the transmit gain LNA=8 dB: its gain stages are AMP and VGA", false},
      {"driver=loopback,refuse=gain", {"--gain", "VGA=20"}, 1, "refused the transmit gain VGA=20 dB: loopback: gain VGA=20 is locked out", false},
      {"driver=loopback", {"--antenna", "RX"}, 1, "refused the transmit antenna RX: its antennas are TX", false},
      {"driver=loopback,fault=underflow", {}, 0, "underflows: 1", true},
      {"driver=loopback,fault=underflow-status", {}, 0, "underflows: 1", true},
      {"driver=loopback,fault=vanish", {}, 1, "serial=LB0001 failed while transmitting: STREAM_ERROR (-2)", true},
      {"driver=loopback,fault=stall", {}, 1, "serial=LB0001 stopped taking samples: nothing moved for 2 s", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.device);
    const Folder folder;
    std::vector<std::string> args = {"transmit", "--device", c.device + ",store=" + (folder / "sent.cf32")};
    args.insert(args.end(), beacon.begin(), beacon.end());
    args.insert(args.end(), c.options.begin(), c.options.end());
    if (std::find(args.begin(), args.end(), "--frequency") == args.end()) args.insert(args.end(), {"--frequency", "2412e6"});
    const auto result = runCli(args);
    EXPECT_EQ(result.exitStatus, c.status);
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.out << result.err;
    EXPECT_EQ(std::filesystem::exists(folder / "sent.cf32"), c.sends);
  }
}

TEST(RadioFaults, ACaptureKeepsWhatCameBeforeTheRadioWent) {
  const Folder folder;
  const auto result = runCli({"capture", "--device", "driver=loopback,fault=vanish,fault_after=150000", "--frequency", "2412e6",
                              "--rate", "20e6", "--duration", "1", "--out", folder / "rec"});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_NE(result.err.find("failed while receiving: STREAM_ERROR (-2); the recording holds the samples received before"),
            std::string::npos) << result.err;
  EXPECT_EQ(std::filesystem::file_size(folder / "rec.sigmf-data"), 196608u * 4);  // three whole reads of 65536
  EXPECT_TRUE(std::filesystem::exists(folder / "rec.sigmf-meta"));

  const auto overflow = runCli({"capture", "--device", "driver=loopback,fault=overflow", "--frequency", "2412e6", "--rate",
                                "20e6", "--duration", "0.02", "--out", folder / "rec2"});
  EXPECT_EQ(overflow.exitStatus, 0) << overflow.err;
  EXPECT_NE(overflow.err.find("overflows: 1 (samples were lost before each: a new capture segment starts there)"),
            std::string::npos) << overflow.err;
}

// Ctrl-C ends a stream at once (the test allows far more than the 0.1 s it takes, to be sure of a loaded
// machine), with exit status 0 and the radio released.
TEST(RadioFaults, CtrlCStopsTheStreamAndReleasesTheRadio) {
  const struct {
    std::vector<std::string> args;
    std::string ready, report;
  } cases[] = {
      {{"transmit", "--frequency", "2412e6", "--continuous"}, "Transmitting until Ctrl-C", "stopped by Ctrl-C"},
      {{"capture", "--frequency", "2412e6", "--rate", "20e6", "--duration", "60"}, "Capturing", "stopped by Ctrl-C"},
  };
  for (const auto& c : cases) {
    const Folder folder;
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--device", "driver=loopback,store=" + (folder / "sent.cf32")});
    if (args.front() == "capture") args.insert(args.end(), {"--out", folder / "rec"});
    const sdr_test::SignalledRun run = sdr_test::runUntilCtrlC(args, c.ready, 0.3);
    SCOPED_TRACE(run.out + run.err);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_LT(run.stopSeconds, 2.0);
    RecordProperty("stop_ms_" + args.front(), static_cast<int>(run.stopSeconds * 1000));
    EXPECT_NE(run.err.find(c.report), std::string::npos);
    EXPECT_EQ(sdr_test::storedSettings(folder / "sent.cf32").at("released"), "1");
  }
}

}  // namespace
