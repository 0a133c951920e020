// SPDX-License-Identifier: GPL-3.0-or-later
// The radio link end to end against the loopback radio: what 'dot11b transmit' sends decodes from what
// the radio stored, and what the radio receives decodes live and from a capture as the file it played.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "instrument/cli_runner.h"
#include "loopback_support.h"
#include "phy/samples/peak_scaling.h"
#include "phy/samples/sample_formats.h"
#include "runtime/shortest_text.h"
#include "rx/receiver.h"
#include "rx/stream/resample.h"
#include "rx/verify/verification.h"
#include "sdr/radio_source.h"
#include "sdr/transmission.h"

namespace {

using dot11b::ComplexRow;
using instrument_test::runCli;
using sdr_test::Folder;

// A frame (or sequence) from 'dot11b generate' with the given options.
ComplexRow generated(const Folder& folder, std::vector<std::string> options) {
  options.insert(options.begin(), "generate");
  options.insert(options.end(), {"--out", folder / "frame.cf64"});
  EXPECT_EQ(runCli(options).exitStatus, 0);
  return sdr_test::readComplex(folder / "frame.cf64", true);
}

TEST(RadioLink, ThreeBeaconsSentAt20MsampleDecodeFromWhatTheRadioStored) {
  for (const char* overSampling : {"2", "4"}) {
    SCOPED_TRACE(std::string("OverSampling ") + overSampling);
    const Folder folder;
    const std::string store = folder / "sent.cf32";
    const auto result = runCli({"transmit", "--device", "driver=loopback,format=CS8,store=" + store, "--frequency",
                                "2412e6", "--template", "beacon", "--ssid", "lab", "--set",
                                std::string("OverSampling=") + overSampling, "--repeat", "3", "--gap", "0.01"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.out.find("Rate 20 Msample/s"), std::string::npos) << result.out;
    const auto settings = sdr_test::storedSettings(store);
    EXPECT_EQ(settings.at("rate"), "20000000");
    EXPECT_EQ(settings.at("bursts"), "3");
    EXPECT_EQ(settings.at("released"), "1");

    const auto frames = dot11b::rx::receiveFrames(sdr_test::readComplex(store, false), 20e6);
    ASSERT_EQ(frames.size(), 3u);
    const auto sentOne = dot11b::rx::receiveFrames(generated(folder, {"--template", "beacon", "--ssid", "lab", "--set",
                                                                      std::string("OverSampling=") + overSampling}),
                                                   11e6 * std::stod(overSampling));
    ASSERT_EQ(sentOne.size(), 1u);
    for (const auto& frame : frames) {
      EXPECT_TRUE(frame.fcsOk);
      EXPECT_EQ(frame.psdu, sentOne.front().psdu);
    }
  }
}

// The resampler cuts the band before the rate falls: a frame taken from 44 to 30 Msample/s keeps the
// transmit mask, measured to 15 MHz off the carrier.
TEST(RadioLink, AResampledFrameKeepsTheSpectrumMask) {
  const Folder folder;
  const ComplexRow frame = generated(folder, {"--set", "OverSampling=4", "--set", "FilterType=2"});
  using namespace dot11b::sdr;
  const TxWaveform w = prepareWaveform(frame, 44e6, 30e6, {SampleFormat::CF32, 1}, 1);
  ComplexRow sent(w.samples.size());
  decodeSamples(w.samples.at(0), SampleFormat::CF32, sent.size(), 1, sent.data());
  const auto v = dot11b::rx::verifyCapture(sent, 30e6, std::nullopt);
  ASSERT_EQ(v.frames.size(), 1u);
  EXPECT_TRUE(v.frames.front().fcsOk || !v.frames.front().psdu.empty());
  ASSERT_TRUE(v.mask.has_value());
  EXPECT_TRUE(v.mask->passed()) << "margin " << v.mask->inner.margin << " dB";
}

// A file made at a radio's own rate (a HackRF's 20 Msample/s) in its 8-bit format decodes at that rate and
// keeps the transmit mask, measured on the band-limited signal that the radio's converter makes of it (the
// file itself holds nothing beyond 10 MHz off the carrier, where the mask's limits start at 11); SigMF
// metadata and the summary say the rate.
TEST(RadioLink, AFileAtTheRadiosRateDecodesAndKeepsTheMask) {
  const Folder folder;
  const std::vector<std::string> frame = {"generate", "--template", "beacon", "--set", "FilterType=2",
                                          "--rate", "20e6"};
  std::vector<std::string> cs8 = frame;
  cs8.insert(cs8.end(), {"--format", "cs8", "--out", folder / "beacon.cs8"});
  const auto made = runCli(cs8);
  ASSERT_EQ(made.exitStatus, 0) << made.err;
  EXPECT_NE(made.err.find(", 20 MHz sampling rate (resampled from 44 MHz)"), std::string::npos) << made.err;
  const auto checked = runCli({"verify", folder / "beacon.cs8", "--rate", "20e6", "--expect-fcs", "--json"});
  ASSERT_EQ(checked.exitStatus, 0) << checked.out << checked.err;
  const nlohmann::json result = nlohmann::json::parse(checked.out);
  ASSERT_EQ(result["frames"].size(), 1u);
  EXPECT_EQ(result["frames"][0]["fcs_ok"], true);
  std::ifstream in(folder / "beacon.cs8", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ComplexRow onTheAir(bytes.size() / 2);
  dot11b::phy::decodeSamples(bytes.data(), dot11b::phy::SampleFormat::CS8, onTheAir.size(), 127, onTheAir.data());
  const auto v = dot11b::rx::verifyCapture(dot11b::rx::resample(onTheAir, 20e6, 44e6), 44e6, std::nullopt);
  ASSERT_TRUE(v.mask.has_value());
  EXPECT_TRUE(v.mask->passed()) << "margin " << v.mask->inner.margin << " dB";

  std::vector<std::string> sigmf = frame;
  sigmf.insert(sigmf.end(), {"--out", folder / "beacon.sigmf"});
  ASSERT_EQ(runCli(sigmf).exitStatus, 0);
  std::ifstream meta(folder / "beacon.sigmf-meta");
  EXPECT_EQ(nlohmann::json::parse(meta)["global"]["core:sample_rate"], 20e6);
  // cf32_le (8 bytes a sample) of the same samples as the cs8 file (2 bytes a sample).
  EXPECT_EQ(std::filesystem::file_size(folder / "beacon.sigmf-data"),
            4 * std::filesystem::file_size(folder / "beacon.cs8"));
}

// A sequence at 20 Msample/s the radio plays, over its full scale.
ComplexRow playedSequence(const Folder& folder) {
  ComplexRow samples = generated(folder, {"--template", "data", "--frames", "3", "--set", "OverSampling=2"});
  samples = dot11b::rx::resample(samples, 22e6, 20e6);
  const double scale = 0.5 / dot11b::phy::peakComponent(samples);
  for (auto& s : samples) s *= scale;
  sdr_test::writeCf32(folder / "played.cf32", samples);
  return sdr_test::readComplex(folder / "played.cf32", false);
}

// The radio streams CS16 (12 bits): the frames are those of the file, found within half a sample.
TEST(RadioLink, ALiveCaptureDecodesAsTheFileItPlayed) {
  const Folder folder;
  const ComplexRow played = playedSequence(folder);
  const auto fromFile = dot11b::rx::receiveFrames(played, 20e6);
  ASSERT_EQ(fromFile.size(), 3u);

  dot11b::sdr::Radio radio("driver=loopback,play=" + (folder / "played.cf32"));
  EXPECT_EQ(dot11b::sdr::setUpReceive(radio, 20e6, {2412e6, 20.0, {}, ""}), 20e6);
  const std::atomic<bool> stop{false};
  dot11b::sdr::RadioSource source(radio, played.size() + 2000, stop);
  std::vector<dot11b::rx::ReceivedFrame> live;
  dot11b::rx::receiveStream(
      source, 20e6, [&](dot11b::rx::ReceivedFrame&& f) { live.push_back(std::move(f)); }, 4096);
  EXPECT_EQ(source.received(), played.size() + 2000);
  ASSERT_EQ(live.size(), fromFile.size());
  for (std::size_t k = 0; k < live.size(); ++k) {
    EXPECT_TRUE(live[k].fcsOk);
    EXPECT_EQ(live[k].psdu, fromFile[k].psdu);
    EXPECT_NEAR(live[k].startSample, fromFile[k].startSample, 0.5);
  }
}

// The radio streams CF32, so the recording holds the file's samples, and verify says the same of both.
TEST(RadioLink, ACaptureVerifiesAsTheFileItPlayed) {
  const Folder folder;
  const double seconds = static_cast<double>(playedSequence(folder).size()) / 20e6;
  const auto capture = runCli({"capture", "--device", "driver=loopback,format=CF32,play=" + (folder / "played.cf32"),
                               "--frequency", "2437e6", "--rate", "20e6", "--duration",
                               dot11b::rt::shortestText(seconds), "--gain", "10", "--out", folder / "rec.sigmf"});
  ASSERT_EQ(capture.exitStatus, 0) << capture.err;
  const auto ofCapture = runCli({"verify", folder / "rec.sigmf-meta", "--json"});
  const auto ofFile = runCli({"verify", folder / "played.cf32", "--rate", "20e6", "--carrier", "2437e6", "--json"});
  ASSERT_EQ(ofFile.exitStatus, 0) << ofFile.err;
  EXPECT_EQ(ofCapture.exitStatus, 0) << ofCapture.err;
  EXPECT_EQ(ofCapture.out, ofFile.out);
}

// verify --device decodes what the radio receives as it comes, with the tuned frequency as the carrier.
TEST(RadioLink, ALiveVerifySaysWhatVerifyOfThePlayedFileSays) {
  const Folder folder;
  const double seconds = static_cast<double>(playedSequence(folder).size()) / 20e6;
  const std::vector<std::string> radio = {"--device", "driver=loopback,format=CF32,play=" + (folder / "played.cf32"),
                                          "--frequency", "2437e6", "--rate", "20e6", "--duration",
                                          dot11b::rt::shortestText(seconds)};
  std::vector<std::string> live = {"verify", "--json", "--expect-fcs"};
  live.insert(live.end(), radio.begin(), radio.end());
  const auto ofRadio = runCli(live);
  const auto ofFile = runCli({"verify", folder / "played.cf32", "--rate", "20e6", "--carrier", "2437e6", "--json"});
  ASSERT_EQ(ofFile.exitStatus, 0) << ofFile.err;
  EXPECT_EQ(ofRadio.exitStatus, 0) << ofRadio.err;
  EXPECT_EQ(ofRadio.out, ofFile.out);
  EXPECT_NE(ofRadio.err.find("overflows: 0"), std::string::npos) << ofRadio.err;
  // The summary comes frame by frame, and a radio that goes mid-stream ends it with exit status 1.
  std::vector<std::string> vanishing = {"verify", "--device",
                                        "driver=loopback,format=CF32,fault=vanish,fault_after=100000,play=" +
                                            (folder / "played.cf32"),
                                        "--frequency", "2437e6", "--rate", "20e6", "--duration", "1"};
  const auto lost = runCli(vanishing);
  EXPECT_EQ(lost.exitStatus, 1);
  EXPECT_NE(lost.err.find("dot11b verify: "), std::string::npos) << lost.err;
}

TEST(RadioLink, DevicesListsTheRadioAndWhatItOffers) {
  const auto all = runCli({"devices"});
  EXPECT_EQ(all.exitStatus, 0);
  EXPECT_EQ(all.out, "driver=loopback, label=dot11b loopback radio, serial=LB0001\n");
  const auto one = runCli({"devices", "--device", "driver=loopback,format=CS8,max_rate=61.44e6"});
  EXPECT_EQ(one.exitStatus, 0) << one.err;
  for (const char* line :
       {"transmit channel 0", "receive channel 0", "sample rates: 2 to 61.44 Msample/s", "frequencies:  1 to 6000 MHz",
        "gain:         0 to 61 dB; AMP 0 to 14 in steps of 14 dB, VGA 0 to 47", "its own CS8, full scale 128"})
    EXPECT_NE(one.out.find(line), std::string::npos) << line << "\n" << one.out;
}

}  // namespace
