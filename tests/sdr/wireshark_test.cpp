// SPDX-License-Identifier: GPL-3.0-or-later
// Frames into Wireshark, read back by tshark with the FCS checked: 'dot11b verify --pcap' of files and of
// the loopback radio, and dot11b-extcap as Wireshark runs it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "instrument/cli_runner.h"
#include "loopback_support.h"
#include "rx/stream/resample.h"
#include "phy/samples/peak_scaling.h"
#include "phy/samples/sample_formats.h"
#include "support/run_command.h"

namespace {

using dot11b::ComplexRow;
using dot11b::testing::shellQuoted;
using instrument_test::runCli;
using sdr_test::Folder;

const char* const kFields =
    "wlan.fcs.status radiotap.datarate radiotap.channel.freq radiotap.flags.preamble wlan.fc.type_subtype wlan.seq "
    "wlan.ta wlan.ssid frame.comment";

// A shell command line, run whole in a subshell (so that no redirection of the runner's binds to its last
// command alone): its status and output.
dot11b::testing::CommandResult shell(const std::string& line) { return dot11b::testing::runCommand("(" + line + ")"); }

// tshark's fields of every record of `path`, one line each, tab-separated.
std::string tsharkFields(const std::string& path, const std::string& fields = kFields) {
  std::string command = "tshark -r " + shellQuoted(path) + " -o wlan.check_checksum:TRUE -T fields";
  std::istringstream names(fields);
  for (std::string name; names >> name;) command += " -e " + name;
  const auto result = shell(command + " 2>/dev/null");
  EXPECT_EQ(result.status, 0) << result.output;
  return result.output;
}

// The frame the options give, at 22 Msample/s, appended to `capture`; a template's frame comes from
// 02:11:22:33:44:55.
void appendFrame(const Folder& folder, std::vector<std::string> options, ComplexRow& capture) {
  options.insert(options.begin(), "generate");
  if (std::find(options.begin(), options.end(), "--template") != options.end())
    options.insert(options.end(), {"--ta", "02:11:22:33:44:55"});
  options.insert(options.end(), {"--set", "OverSampling=2", "--out", folder / "one.cf64"});
  const auto generated = runCli(options);
  ASSERT_EQ(generated.exitStatus, 0) << generated.err;
  const ComplexRow frame = sdr_test::readComplex(folder / "one.cf64", true);
  capture.insert(capture.end(), frame.begin(), frame.end());
}

void writeCf64(const std::string& path, const ComplexRow& samples) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(samples.data()),
                                              static_cast<std::streamsize>(samples.size() * sizeof samples[0]));
}

// Every rate and both preambles, a beacon, PBCC and a frame whose last four octets are no FCS.
TEST(Wireshark, VerifyWritesEveryFrameAsSent) {
  const Folder folder;
  ComplexRow capture;
  appendFrame(folder, {"--template", "beacon", "--ssid", "lab", "--set", "dataRate=1"}, capture);
  appendFrame(folder, {"--template", "data", "--set", "dataRate=2", "--set", "preambleType=1", "--set",
                       "MACheader.Contents.SeqCntrl.Contents=160"},
              capture);
  appendFrame(folder, {"--template", "data", "--set", "dataRate=5.5", "--frames", "2"}, capture);
  appendFrame(folder, {"--template", "data", "--set", "dataRate=11", "--set", "preambleType=1"}, capture);
  appendFrame(folder, {"--template", "data", "--set", "dataRate=11", "--set", "highRateMod=1"}, capture);
  // No FCS after the MAC header: the last four octets of the payload fail as one.
  appendFrame(folder, {"--set", "dataRate=2", "--set", "MACheader.Active=1", "--set", "MACfcs.Active=0"}, capture);
  writeCf64(folder / "all.cf64", capture);

  const auto verified = runCli({"verify", folder / "all.cf64", "--rate", "22e6", "--carrier", "2412e6", "--pcap",
                                folder / "all.pcapng"});
  EXPECT_EQ(verified.exitStatus, 0) << verified.err;
  EXPECT_EQ(tsharkFields(folder / "all.pcapng"),
            "1\t1\t2412\t0\t0x0008\t0\t02:11:22:33:44:55\t6c6162\t\n"
            "1\t2\t2412\t1\t0x0020\t10\t02:11:22:33:44:55\t\t\n"
            "1\t5.5\t2412\t0\t0x0020\t0\t02:11:22:33:44:55\t\t\n"
            "1\t5.5\t2412\t0\t0x0020\t1\t02:11:22:33:44:55\t\t\n"
            "1\t11\t2412\t1\t0x0020\t0\t02:11:22:33:44:55\t\t\n"
            "1\t11\t2412\t0\t0x0020\t0\t02:11:22:33:44:55\t\tPBCC\n"
            "0\t2\t2412\t0\t0x0000\t0\t00:00:00:00:00:00\t<MISSING>\t\n");

  // The same through a pipe, the summary then on stderr; with no time given, the capture starts in 1970.
  const auto piped = shell(std::string(DOT11B_CLI) + " verify " + shellQuoted(folder / "all.cf64") +
                                " --rate 22e6 --pcap - 2>" + shellQuoted(folder / "summary.txt") + " | tshark -i - -T fields -e frame.time_epoch -e radiotap.channel.freq 2>/dev/null | head -1");
  EXPECT_EQ(piped.output, "0.000003954\t\n");  // the first frame's SYNC begins at sample 87
  std::ifstream summary(folder / "summary.txt");
  EXPECT_NE(std::string(std::istreambuf_iterator<char>(summary), {}).find("frame 7 at sample"), std::string::npos);
}

TEST(Wireshark, VerifyRefusesAPathItCannotWrite) {
  const Folder folder;
  ComplexRow capture;
  appendFrame(folder, {"--template", "data"}, capture);
  const auto result =
      runCli({"verify", folder / "one.cf64", "--rate", "22e6", "--pcap", folder / "missing-folder/x.pcapng"});
  EXPECT_EQ(result.exitStatus, 2);
  EXPECT_NE(result.err.find("cannot write '" + (folder / "missing-folder/x.pcapng") + "'"), std::string::npos)
      << result.err;
  EXPECT_NE(runCli({"verify", folder / "one.cf64", "--rate", "22e6", "--pcap-all"}).exitStatus, 0);
}

// Three beacons at 20 Msample/s for the loopback radio to play, over its full scale.
std::string threeBeacons(const Folder& folder) {
  ComplexRow samples;
  appendFrame(folder, {"--template", "beacon", "--ssid", "lab", "--frames", "3", "--set", "dataRate=1"}, samples);
  samples = dot11b::rx::resample(samples, 22e6, 20e6);
  const double scale = 0.5 / dot11b::phy::peakComponent(samples);
  for (auto& s : samples) s *= scale;
  sdr_test::writeCf32(folder / "beacons.cf32", samples);
  return folder / "beacons.cf32";
}

// Three beacons of the SSID "lab" (as tshark gives it, in hex).
const char* const kBeacons = "1\t1\t2437\t0\t0x0008\t0\t02:11:22:33:44:55\t6c6162\t\n"
                             "1\t1\t2437\t0\t0x0008\t1\t02:11:22:33:44:55\t6c6162\t\n"
                             "1\t1\t2437\t0\t0x0008\t2\t02:11:22:33:44:55\t6c6162\t\n";

// A live decode into a pipe: the frames as they come, and the end when the reader quits, frames or none.
TEST(Wireshark, VerifyLiveStreamsIntoAPipeUntilItsReaderQuits) {
  const Folder folder;
  const std::string device = "driver=loopback,format=CF32,play=" + threeBeacons(folder);
  const std::string verify = std::string(DOT11B_CLI) + " verify --device " + shellQuoted(device) +
                             " --frequency 2437e6 --rate 20e6 --pcap -";
  // tshark stops after three records, and verify, which has no --duration, ends with it.
  const auto live = shell("{ " + verify + " 2>/dev/null; echo $? >" + shellQuoted(folder / "status") +
                               "; } | tshark -i - -c 3 -o wlan.check_checksum:TRUE -T fields -e wlan.fcs.status -e "
                               "wlan.seq -e wlan.ssid 2>/dev/null");
  EXPECT_EQ(live.output, "1\t0\t6c6162\n1\t1\t6c6162\n1\t2\t6c6162\n");  // the SSID "lab"
  std::ifstream status(folder / "status");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(status), {}), "0\n");
  // A reader that quits once the capture has begun: no frame to write, and verify still ends, quietly.
  const auto quit = shell("{ " + std::string(DOT11B_CLI) +
                               " verify --device driver=loopback,format=CF32 --frequency 2437e6 --rate 20e6 --pcap - "
                               "2>/dev/null; echo $? >" + shellQuoted(folder / "status") + "; } | head -c 1 >/dev/null");
  std::ifstream quitStatus(folder / "status");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(quitStatus), {}), "0\n");
}

// The extcap folder of a Wireshark whose settings live in `folder`, holding the built program.
std::string extcapEnvironment(const Folder& folder) {
  const std::string extcapDir = folder / "config/wireshark/extcap";
  EXPECT_EQ(shell("mkdir -p " + shellQuoted(extcapDir) + " && ln -s " + shellQuoted(DOT11B_EXTCAP) + " " +
                       shellQuoted(extcapDir + "/dot11b-extcap"))
                .status,
            0);
  return "XDG_CONFIG_HOME=" + shellQuoted(folder / "config") + " ";
}

TEST(Wireshark, TsharkListsTheRadioAndCapturesItsBeacons) {
  const Folder folder;
  const std::string environment = extcapEnvironment(folder);
  const auto listed = shell(environment + "tshark -D 2>&1");
  EXPECT_NE(listed.output.find("dot11b_loopback_LB0001 (802.11b DSSS on dot11b loopback radio LB0001)"),
            std::string::npos)
      << listed.output;

  const std::string play = threeBeacons(folder);
  const auto captured = shell(
      environment + "tshark -i dot11b_loopback_LB0001 -c 3 -a duration:20 -o " +
      shellQuoted("extcap.dot11b_loopback_lb0001.deviceargs:format=CF32,play=" + play) +
      " -o extcap.dot11b_loopback_lb0001.channel:6 -o wlan.check_checksum:TRUE -T fields -e wlan.fcs.status -e "
      "radiotap.datarate -e radiotap.channel.freq -e radiotap.flags.preamble -e wlan.fc.type_subtype -e wlan.seq -e "
      "wlan.ta -e wlan.ssid -e frame.comment 2>/dev/null");
  EXPECT_EQ(captured.output, kBeacons);
}

// The records of a pcapng file so far (the blocks of type 6 written whole).
std::size_t packetRecords(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  std::size_t records = 0;
  for (std::size_t at = 0; at + 12 <= bytes.size();) {
    std::uint32_t type = 0, length = 0;
    std::memcpy(&type, bytes.data() + at, 4);
    std::memcpy(&length, bytes.data() + at + 4, 4);
    if (length < 12 || at + length > bytes.size()) break;
    records += type == 6;
    at += length;
  }
  return records;
}

// What Wireshark does to stop a capture: SIGTERM. The radio is released and the capture stays whole.
TEST(Wireshark, ExtcapStopsOnSigtermReleasingTheRadio) {
  const Folder folder;
  const std::string play = threeBeacons(folder), out = folder / "capture.pcapng", store = folder / "store.cf32";
  const pid_t pid = ::fork();
  if (pid == 0) {
    const std::string args = "format=CF32,store=" + store + ",play=" + play;
    ::execl(DOT11B_EXTCAP, DOT11B_EXTCAP, "--capture", "--extcap-interface", "dot11b_loopback_LB0001", "--fifo",
            out.c_str(), "--channel", "6", "--device-args", args.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  using Clock = std::chrono::steady_clock;
  const auto giveUp = Clock::now() + std::chrono::seconds(20);
  while (packetRecords(out) < 3 && Clock::now() < giveUp) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ::kill(pid, SIGTERM);
  int status = 0;
  pid_t ended = 0;
  while ((ended = ::waitpid(pid, &status, WNOHANG)) == 0 && Clock::now() < giveUp + std::chrono::seconds(5))
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  if (ended == 0) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    FAIL() << "dot11b-extcap did not end on SIGTERM";
  }
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(sdr_test::storedSettings(store).at("released"), "1");
  EXPECT_EQ(tsharkFields(out), kBeacons);
}

// A radio unplugged during the capture: the frames before it stay in the file, and Wireshark hears of it.
TEST(Wireshark, ExtcapKeepsTheFramesBeforeARadioFailureAndSaysSo) {
  const Folder folder;
  const std::string play = threeBeacons(folder), out = folder / "capture.pcapng";
  const auto result = shell(std::string(DOT11B_EXTCAP) + " --capture --extcap-interface dot11b_loopback_LB0001 --fifo " +
                            shellQuoted(out) + " --channel 6 --device-args " +
                            shellQuoted("format=CF32,fault=vanish,fault_after=400000,play=" + play));
  EXPECT_EQ(result.status, 1) << result.output;
  EXPECT_NE(result.output.find("the radio failed after"), std::string::npos) << result.output;
  EXPECT_EQ(tsharkFields(out), kBeacons);
}

TEST(Wireshark, ExtcapAnswersWiresharksQuestionsAndSaysWhenTheRadioIsGone) {
  const auto run = [](const std::string& args) { return shell(std::string(DOT11B_EXTCAP) + " " + args); };
  const auto dlts = run("--extcap-dlts --extcap-interface dot11b_loopback_LB0001");
  EXPECT_EQ(dlts.output, "dlt {number=127}{name=IEEE802_11_RADIO}{display=802.11 plus radiotap header}\n");
  const auto config = run("--extcap-config --extcap-interface dot11b_loopback_LB0001");
  EXPECT_EQ(config.status, 0) << config.output;
  for (const char* line : {"value {arg=0}{value=1}{display=1 (2412 MHz)}{default=true}",
                           "{call=--sample-rate}{display=Sample rate (Msample/s)}{tooltip=The radio runs at 2 to 20 "
                           "Msample/s}{type=double}{default=20}",
                           "{call=--gain}", "{call=--antenna}", "{call=--calibration}"})
    EXPECT_NE(config.output.find(line), std::string::npos) << line << "\n" << config.output;
  EXPECT_EQ(run("--extcap-interface dot11b_loopback_LB0001 --extcap-capture-filter ''").output, "");
  EXPECT_NE(run("--extcap-interface dot11b_loopback_LB0001 --extcap-capture-filter 'port 80'").output, "");

  const auto gone = run("--extcap-config --extcap-interface dot11b_loopback_LB0002");
  EXPECT_EQ(gone.status, 1);
  EXPECT_NE(gone.output.find("dot11b-extcap: the radio of interface dot11b_loopback_LB0002 is not found any more"),
            std::string::npos)
      << gone.output;
  const Folder folder;
  const auto goneCapture =
      run("--capture --extcap-interface dot11b_loopback_LB0002 --fifo " + shellQuoted(folder / "x.pcapng"));
  EXPECT_EQ(goneCapture.status, 1);
  EXPECT_EQ(run("--capture --extcap-interface dot11b_loopback_LB0001 --fifo x --channel 15").status, 2);
}

}  // namespace
