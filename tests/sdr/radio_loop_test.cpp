// SPDX-License-Identifier: GPL-3.0-or-later
// A radio as the signal generator: the waveform plays in a loop without a gap while its frequency, gain
// and RF output change, stops for good with its reason, lets the radio go, and a radio that vanishes ends
// the loop with the radio's message. Then 'dot11b download --to soapy:...' end to end.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <thread>

#include "instrument/cli_runner.h"
#include "loopback_support.h"
#include "rx/receiver.h"
#include "sdr/loop_player.h"
#include "sdr/radio_error.h"

namespace {

using dot11b::ComplexRow;
using dot11b::sdr::LoopPlayer;
using dot11b::sdr::LoopRequest;
using dot11b::sdr::LoopSettings;
using instrument_test::runCli;
using sdr_test::Folder;

constexpr double kFrameRate = 22e6;  // OverSampling 2: the loopback radio below runs at it, no resampling

ComplexRow beacon(const Folder& folder) {
  const auto result = runCli({"generate", "--template", "beacon", "--ssid", "lab", "--set", "OverSampling=2", "--out",
                              folder / "frame.cf64"});
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  return sdr_test::readComplex(folder / "frame.cf64", true);
}

LoopRequest request(const ComplexRow& frame, const std::string& radioArgs) {
  LoopRequest r;
  r.args = "driver=loopback,max_rate=22e6," + radioArgs;
  r.frame = frame;
  r.frameRate = kFrameRate;
  r.settings = {2412e6, 20, true};
  return r;
}

// Waits (at most 10 s) until `done` holds of the player's status.
bool waitFor(const LoopPlayer& player, const std::function<bool(const dot11b::sdr::LoopStatus&)>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < end) {
    if (done(player.status())) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

// The first `n` samples of a cf32_le file.
ComplexRow head(const std::string& path, std::size_t n) {
  std::ifstream in(path, std::ios::binary);
  ComplexRow samples;
  for (float v[2]; samples.size() < n && in.read(reinterpret_cast<char*>(v), sizeof v);)
    samples.emplace_back(v[0], v[1]);
  return samples;
}

// Every frame whole within `samples` decodes with a good FCS, each starting one waveform after the last
// (to within the receiver's timing of a sample).
void expectBackToBack(const ComplexRow& samples, std::size_t period, std::size_t atLeast) {
  auto frames = dot11b::rx::receiveFrames(samples, kFrameRate);
  const auto whole = [&](const dot11b::rx::ReceivedFrame& f) {
    return f.startSample + static_cast<double>(period) <= static_cast<double>(samples.size());
  };
  while (!frames.empty() && !whole(frames.back())) frames.pop_back();
  ASSERT_GE(frames.size(), atLeast);
  for (std::size_t k = 0; k < frames.size(); ++k) {
    EXPECT_TRUE(frames[k].fcsOk) << "frame " << k;
    if (k > 0) {
      EXPECT_NEAR(frames[k].startSample - frames[k - 1].startSample, static_cast<double>(period), 1.5);
    }
  }
}

TEST(RadioLoop, ChangesWhilePlayingLeaveNoGapAndReachTheRadio) {
  const Folder folder;
  const ComplexRow frame = beacon(folder);
  const std::size_t n = frame.size();
  const std::string store = folder / "sent.cf32";
  {
    LoopPlayer player(request(frame, "store=" + store));
    ASSERT_TRUE(waitFor(player, [&](const auto& s) { return s.samplesSent >= 3 * n; }));
    player.change({2437e6, 30, true});
    const auto changed = player.status();
    EXPECT_EQ(changed.frequency, 2437e6);
    EXPECT_EQ(changed.gain, 30);
    EXPECT_TRUE(changed.playing);
    ASSERT_TRUE(waitFor(player, [&](const auto& s) { return s.samplesSent >= changed.samplesSent + 3 * n; }));
    player.stop("done");
    const auto stopped = player.status();
    EXPECT_TRUE(stopped.stopped);
    EXPECT_FALSE(stopped.failed);
    EXPECT_EQ(stopped.reason, "done");
    EXPECT_EQ(stopped.underflows, 0u);
    EXPECT_THROW(player.change({2412e6, 0, true}), dot11b::sdr::RadioError);
  }
  const auto settings = sdr_test::storedSettings(store);
  EXPECT_EQ(settings.at("frequency"), "2437000000");
  EXPECT_EQ(settings.at("gain"), "30");
  EXPECT_EQ(settings.at("rate"), "22000000");
  EXPECT_EQ(settings.at("bursts"), "1");
  EXPECT_EQ(settings.at("released"), "1");
  // One burst, and every sample equal to the one a waveform later, across the change too: no gap, no
  // restart. The burst's closing silence (64 samples) is left out.
  const ComplexRow sent = sdr_test::readComplex(store, false);
  ASSERT_GE(sent.size(), 6 * n);
  std::size_t differing = 0;
  for (std::size_t k = 0; k + n + 64 < sent.size(); ++k) differing += sent[k] != sent[k + n];
  EXPECT_EQ(differing, 0u);
  expectBackToBack(ComplexRow(sent.begin(), sent.begin() + static_cast<long>(4 * n)), n, 3);
}

TEST(RadioLoop, RfOffSilencesAndRfOnStartsTheWaveformAgain) {
  const Folder folder;
  const ComplexRow frame = beacon(folder);
  const std::string store = folder / "sent.cf32";
  LoopRequest r = request(frame, "store=" + store);
  r.settings.rfOn = false;
  {
    LoopPlayer player(r);
    EXPECT_FALSE(player.status().playing);
    EXPECT_EQ(player.status().reason, "RF off");
    player.change({2412e6, 10, true});
    ASSERT_TRUE(waitFor(player, [&](const auto& s) { return s.samplesSent >= frame.size(); }));
    player.change({2412e6, 10, false});
    const auto off = player.status();
    EXPECT_FALSE(off.playing);
    EXPECT_EQ(off.reason, "RF off");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(player.status().samplesSent, off.samplesSent);
    player.change({2412e6, 10, true});
    ASSERT_TRUE(waitFor(player, [&](const auto& s) { return s.samplesSent >= off.samplesSent + frame.size(); }));
    EXPECT_TRUE(player.status().playing);
  }
  const auto settings = sdr_test::storedSettings(store);
  EXPECT_EQ(settings.at("bursts"), "2");
  EXPECT_EQ(settings.at("unended_bursts"), "0");
  EXPECT_EQ(settings.at("released"), "1");
}

TEST(RadioLoop, AGainBeyondTheRadiosRangeIsHeldWithANote) {
  const Folder folder;
  LoopRequest r = request(beacon(folder), "");
  r.settings.gain = 75;
  LoopPlayer player(r);
  EXPECT_EQ(player.status().gain, 61);
  const auto notes = player.takeNotes();
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_NE(notes.front().find("set to 61 dB"), std::string::npos) << notes.front();
  EXPECT_TRUE(player.takeNotes().empty());
}

TEST(RadioLoop, ARadioThatVanishesEndsTheLoopAndIsLetGo) {
  const Folder folder;
  const std::string store = folder / "sent.cf32";
  LoopPlayer player(request(beacon(folder), "fault=vanish,fault_after=200000,store=" + store));
  ASSERT_TRUE(waitFor(player, [](const auto& s) { return s.stopped; }));
  const auto status = player.status();
  EXPECT_TRUE(status.failed);
  EXPECT_FALSE(status.playing);
  EXPECT_NE(status.reason.find("failed while transmitting"), std::string::npos) << status.reason;
  EXPECT_EQ(sdr_test::storedSettings(store).at("released"), "1");
  EXPECT_THROW(player.change({2412e6, 0, true}), dot11b::sdr::RadioError);
}

TEST(RadioLoop, RefusedSettingsFailBeforeAnythingGoesOut) {
  const Folder folder;
  const ComplexRow frame = beacon(folder);
  EXPECT_THROW(LoopPlayer(request(frame, "refuse=frequency")), dot11b::sdr::RadioError);
  LoopRequest r = request(frame, "");
  r.channel = 3;
  EXPECT_THROW(LoopPlayer{r}, dot11b::sdr::RadioError);
  r = request(ComplexRow(), "");
  EXPECT_THROW(LoopPlayer{r}, std::invalid_argument);
}

TEST(RadioDownload, PlaysForItsDurationAndWhatTheRadioStoredDecodes) {
  const Folder folder;
  const std::string store = folder / "sent.cf32";
  const auto result = runCli({"download", "--to", "soapy:driver=loopback,max_rate=22e6,store=" + store,
                              "--duration", "0.5", "--set", "OverSampling=2", "--set", "MACheader.Active=1",
                              "--set", "MACfcs.Active=1", "--amplitude", "10"});
  ASSERT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_NE(result.out.find("Playing on the radio driver=loopback"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("Playing in a loop for 0.5 s"), std::string::npos) << result.out;
  EXPECT_NE(result.err.find("the duration ended"), std::string::npos) << result.err;
  const auto settings = sdr_test::storedSettings(store);
  EXPECT_EQ(settings.at("gain"), "10");
  EXPECT_EQ(settings.at("bursts"), "1");
  EXPECT_EQ(settings.at("released"), "1");
  // The first copies of the loop, each a whole frame.
  const ComplexRow sent = head(store, 200'000);
  const auto frames = dot11b::rx::receiveFrames(sent, kFrameRate);
  ASSERT_GE(frames.size(), 3u);
  expectBackToBack(sent, static_cast<std::size_t>(frames[1].startSample - frames[0].startSample), 3);
}

TEST(RadioDownload, RefreshAndBadDurationsAreRefused) {
  const auto refresh = runCli({"refresh", "--to", "soapy:driver=loopback"});
  EXPECT_EQ(refresh.exitStatus, 2);
  EXPECT_NE(refresh.err.find("refresh cannot reach a radio"), std::string::npos) << refresh.err;
  const auto tooShort = runCli({"download", "--to", "soapy:driver=loopback", "--duration", "0.00001"});
  EXPECT_EQ(tooShort.exitStatus, 2);
  EXPECT_NE(tooShort.err.find("--duration"), std::string::npos) << tooShort.err;
  const auto missing = runCli({"download", "--to", "soapy:driver=nosuchradio", "--duration", "0.1"});
  EXPECT_EQ(missing.exitStatus, 1);
  EXPECT_NE(missing.err.find("no radio matches"), std::string::npos) << missing.err;
}

}  // namespace
