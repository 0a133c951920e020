// SPDX-License-Identifier: GPL-3.0-or-later
// Every command on a radio ends the same way, whatever ends it: Ctrl-C, SIGTERM, SIGHUP, the radio failing or
// the end of its time. What was received or sent is kept, printed and closed, the stream gets its end of
// burst, the radio is let go, and the exit status tells a stop (0) from a failure (1).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "instrument/cli_runner.h"
#include "loopback_support.h"
#include "phy/samples/peak_scaling.h"
#include "rx/stream/resample.h"

namespace {

using instrument_test::runCli;
using sdr_test::Folder;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Three data frames at 20 Msample/s over the radio's full scale, as the radio plays them; their samples.
std::size_t writePlayedFrames(const Folder& folder) {
  EXPECT_EQ(runCli({"generate", "--template", "data", "--frames", "3", "--set", "OverSampling=2", "--out",
                    folder / "frames.cf64"})
                .exitStatus,
            0);
  dot11b::ComplexRow samples = dot11b::rx::resample(sdr_test::readComplex(folder / "frames.cf64", true), 22e6, 20e6);
  const double scale = 0.5 / dot11b::phy::peakComponent(samples);
  for (auto& s : samples) s *= scale;
  sdr_test::writeCf32(folder / "played.cf32", samples);
  return samples.size();
}

std::vector<std::string> filesIn(const Folder& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder / "")) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// Each of the three signals stops each command as Ctrl-C does: exit status 0, the stop named on stderr, what
// came before kept and the radio released.
TEST(RadioEndings, EachSignalStopsEachCommandAsCtrlCDoes) {
  const struct {
    int signal;
    const char* name;
  } signals[] = {{SIGINT, "Ctrl-C"}, {SIGTERM, "SIGTERM"}, {SIGHUP, "SIGHUP"}};
  for (const auto& s : signals) {
    SCOPED_TRACE(s.name);
    const Folder folder;
    writePlayedFrames(folder);
    const std::string device = "driver=loopback,format=CF32,play=" + (folder / "played.cf32") +
                               ",store=" + (folder / "sent.cf32");

    const auto sent = sdr_test::runUntilSignal(
        {"transmit", "--device", device, "--frequency", "2412e6", "--continuous", "--template", "beacon"},
        "Transmitting until Ctrl-C", 0.3, s.signal);
    EXPECT_EQ(sent.exitStatus, 0) << sent.err;
    EXPECT_TRUE(has(sent.err, "; stopped by " + std::string(s.name))) << sent.err;
    const auto settings = sdr_test::storedSettings(folder / "sent.cf32");
    EXPECT_EQ(settings.at("released"), "1");
    EXPECT_EQ(settings.at("bursts"), "1");
    EXPECT_EQ(settings.at("unended_bursts"), "0");  // the stop still ended the burst
    EXPECT_TRUE(has(sent.err, settings.at("samples") + " samples sent")) << sent.err;

    const auto captured = sdr_test::runUntilSignal({"capture", "--device", device, "--frequency", "2412e6", "--rate",
                                                    "20e6", "--duration", "60", "--out", folder / "rec"},
                                                   "Capturing", 0.3, s.signal);
    EXPECT_EQ(captured.exitStatus, 0) << captured.err;
    EXPECT_TRUE(has(captured.err, "; stopped by " + std::string(s.name))) << captured.err;
    EXPECT_EQ(filesIn(folder), (std::vector<std::string>{"frames.cf64", "played.cf32", "rec.sigmf-data",
                                                         "rec.sigmf-meta", "sent.cf32", "sent.cf32.txt"}));
    EXPECT_EQ(runCli({"verify", folder / "rec.sigmf-meta", "--expect-fcs"}).exitStatus, 0);

    const auto decoded = sdr_test::runUntilSignal({"verify", "--device", device, "--frequency", "2412e6", "--rate",
                                                   "20e6", "--duration", "60", "--json", "--expect-fcs"},
                                                  "Decoding", 0.3, s.signal);
    EXPECT_EQ(decoded.exitStatus, 0) << decoded.err;
    EXPECT_EQ(nlohmann::json::parse(decoded.out, nullptr, false)["frames"].size(), 3u) << decoded.out;
    EXPECT_TRUE(has(decoded.err, " samples received, overflows: 0; stopped by " + std::string(s.name)))
        << decoded.err;
  }
}

// The radio goes once it has given the frames: they are decoded and printed, the JSON too, with the samples
// received, and the exit status says it failed.
TEST(RadioEndings, ALiveVerifyKeepsTheFramesDecodedBeforeTheRadioWent) {
  const Folder folder;
  const std::size_t played = writePlayedFrames(folder);
  const std::string device = "driver=loopback,format=CF32,fault=vanish,fault_after=" + std::to_string(played) +
                             ",play=" + (folder / "played.cf32");
  const std::vector<std::string> radio = {"--device", device, "--frequency", "2412e6", "--rate", "20e6",
                                          "--duration", "1"};
  std::vector<std::string> json = {"verify", "--json"};
  json.insert(json.end(), radio.begin(), radio.end());
  const auto asJson = runCli(json);
  EXPECT_EQ(asJson.exitStatus, 1);
  EXPECT_EQ(nlohmann::json::parse(asJson.out, nullptr, false)["frames"].size(), 3u) << asJson.out;
  EXPECT_TRUE(has(asJson.err, " samples received, overflows: 0; failed\n")) << asJson.err;
  EXPECT_TRUE(has(asJson.err, "failed while receiving: STREAM_ERROR (-2); the frames above came before"))
      << asJson.err;

  std::vector<std::string> text = {"verify"};
  text.insert(text.end(), radio.begin(), radio.end());
  const auto asText = runCli(text);
  EXPECT_EQ(asText.exitStatus, 1);
  EXPECT_TRUE(has(asText.out, "frame 3 at sample")) << asText.out;
}

// A transmission the radio breaks off says how much went out before.
TEST(RadioEndings, AFailedTransmitSaysHowManySamplesWentOut) {
  const Folder folder;
  const std::string store = folder / "sent.cf32";
  const auto result = runCli({"transmit", "--device", "driver=loopback,fault=vanish,store=" + store, "--frequency",
                              "2412e6", "--template", "beacon", "--repeat", "100"});
  EXPECT_EQ(result.exitStatus, 1);
  const std::string samples = sdr_test::storedSettings(store).at("samples");
  EXPECT_GE(std::stoul(samples), 100000u);  // the radio went after 100000
  EXPECT_TRUE(has(result.err, samples + " samples sent (the waveform ")) << result.err;
  EXPECT_TRUE(has(result.err, "STREAM_ERROR (-2); " + samples + " samples went out before")) << result.err;
  EXPECT_EQ(sdr_test::storedSettings(store).at("released"), "1");
}

// What cannot make a usable signal is refused before anything goes to the radio, with exit status 2.
TEST(RadioEndings, SettingsThatMakeNoUsableSignalAreRefusedBeforeAnythingIsSent) {
  const struct {
    std::vector<std::string> args;  // the command, then its options besides the radio's
    std::string device;             // more of the radio's arguments
    std::string message;
  } cases[] = {
      {{"transmit", "--rate", "2e6"}, "", "--rate 2 Msample/s is below 20 Msample/s"},
      {{"transmit", "--backoff", "100"}, "", "--backoff 100 dB leaves fewer than 6 bits of the radio's CS16: at most"},
      {{"transmit", "--backoff", "45"}, ",format=CS8", "--backoff 45 dB leaves fewer than 6 bits of the radio's CS8"},
      {{"capture", "--rate", "20e6", "--duration", "1e-9"}, "", "--duration 1e-09 s is shorter than the shortest"},
      {{"capture", "--rate", "5e6", "--duration", "1"}, "", "--rate 5 Msample/s is below one sample a chip"},
      {{"verify", "--rate", "20e6", "--duration", "1e-9"}, "", "--duration 1e-09 s is shorter than the shortest"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const Folder folder;
    std::vector<std::string> args = c.args;
    args.insert(args.begin() + 1,
                {"--device", "driver=loopback,store=" + (folder / "sent.cf32") + c.device, "--frequency", "2412e6"});
    if (args.front() == "capture") args.insert(args.end(), {"--out", folder / "rec"});
    const auto result = runCli(args);
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_TRUE(has(result.err, c.message)) << result.err;
    EXPECT_FALSE(std::filesystem::exists(folder / "sent.cf32"));
    EXPECT_FALSE(std::filesystem::exists(folder / "rec.sigmf-data"));
  }
}

// A gain between a stage's steps goes to the nearest step, and the note says so; a receive rate of fewer than
// 1.8 samples a chip is taken with a warning.
TEST(RadioEndings, AGainBetweenStepsIsRoundedWithANote) {
  const Folder folder;
  const std::string store = folder / "sent.cf32";
  const auto sent = runCli({"transmit", "--device", "driver=loopback,store=" + store, "--frequency", "2412e6",
                            "--gain", "AMP=8", "--gain", "VGA=20", "--template", "beacon"});
  EXPECT_EQ(sent.exitStatus, 0) << sent.err;
  EXPECT_TRUE(has(sent.err, "dot11b transmit: note: the transmit gain AMP=8 dB lies between the radio's steps of "
                            "14 dB: set to 14 dB\n"))
      << sent.err;
  EXPECT_EQ(sdr_test::storedSettings(store).at("gain"), "34");

  const auto slow = runCli({"capture", "--device", "driver=loopback", "--frequency", "2412e6", "--rate", "11e6",
                            "--duration", "0.001", "--out", folder / "rec"});
  EXPECT_EQ(slow.exitStatus, 0) << slow.err;
  EXPECT_TRUE(has(slow.err, "dot11b capture: warning: 11 Msample/s is below 20 Msample/s, too few samples a chip"))
      << slow.err;
}

// label= names one radio among those a module finds, by its whole label.
TEST(RadioEndings, ALabelMatchesARadiosWholeLabel) {
  const auto one = runCli({"devices", "--device", "driver=loopback,radios=12,label=dot11b loopback radio 1"});
  EXPECT_EQ(one.exitStatus, 0) << one.err;
  EXPECT_EQ(one.out.substr(0, one.out.find('\n')), "driver=loopback, label=dot11b loopback radio 1, serial=LB0001-1");
  const auto none = runCli({"devices", "--device", "driver=loopback,radios=12,label=dot11b loopback"});
  EXPECT_EQ(none.exitStatus, 1);
  EXPECT_TRUE(has(none.err, "no radio matches")) << none.err;
}

// The modules' own messages stay off stderr unless --verbose asks for them.
TEST(RadioEndings, TheModulesMessagesAreQuietUnlessVerbose) {
  const auto quiet = runCli({"devices", "--device", "driver=loopback,noise=1"});
  EXPECT_EQ(quiet.exitStatus, 0) << quiet.err;
  EXPECT_EQ(quiet.err, "");
  const auto verbose = runCli({"devices", "--device", "driver=loopback,noise=1", "--verbose"});
  EXPECT_TRUE(has(verbose.err, "loopback: noise written straight to standard error")) << verbose.err;
  EXPECT_TRUE(has(verbose.err, "loopback: noise through SoapySDR's log")) << verbose.err;
}

// With no module that answers a search of all, the text tells of those that answer only when named.
TEST(RadioEndings, NoRadioFoundTellsOfModulesThatAnswerOnlyWhenNamed) {
  const Folder empty;
  const std::string plugins = std::getenv("SOAPY_SDR_PLUGIN_PATH") ? std::getenv("SOAPY_SDR_PLUGIN_PATH") : "";
  ::setenv("SOAPY_SDR_PLUGIN_PATH", (empty / "").c_str(), 1);
  const auto none = runCli({"devices"});
  ::setenv("SOAPY_SDR_PLUGIN_PATH", plugins.c_str(), 1);
  EXPECT_EQ(none.exitStatus, 0);
  EXPECT_TRUE(has(none.out, "No radio found.")) << none.out;
  EXPECT_TRUE(has(none.out, "Some modules answer only when named")) << none.out;
  EXPECT_TRUE(has(none.out, "--device driver=NAME")) << none.out;
}

// verify --expect-fcs fails a frame whose FCS does not hold, though its header does.
TEST(RadioEndings, AFailedFcsUnderExpectFcsIsAFailure) {
  const Folder folder;
  ASSERT_EQ(runCli({"generate", "--set", "dataRate=1", "--set", "MACfcs.Active=1", "--out", folder / "f.cf64"})
                .exitStatus,
            0);
  dot11b::ComplexRow samples = sdr_test::readComplex(folder / "f.cf64", true);
  // The long preamble and header take 192 us (8448 samples at 44 Msample/s): the PSDU follows. Turning the
  // phase of some of its symbols over breaks the PSDU and leaves the header whole.
  for (std::size_t k = 9000; k < 9000 + 44 * 12; ++k) samples[k] = -samples[k];
  sdr_test::writeCf32(folder / "broken.cf32", samples);
  const auto plain = runCli({"verify", folder / "broken.cf32", "--rate", "44e6"});
  EXPECT_EQ(plain.exitStatus, 0) << plain.out;
  const auto expected = runCli({"verify", folder / "broken.cf32", "--rate", "44e6", "--expect-fcs"});
  EXPECT_EQ(expected.exitStatus, 1) << expected.out;
  EXPECT_TRUE(has(expected.out, "FCS does not hold")) << expected.out;
}

}  // namespace
