// SPDX-License-Identifier: GPL-3.0-or-later
// A capture read in blocks gives exactly what it gives whole: the resampler and the front end carry their
// state across every block boundary.
#include <gtest/gtest.h>

#include <random>

#include "mac/payload.h"
#include "phy/frame.h"
#include "rx/stream/front_end.h"
#include "rx/receiver.h"
#include "rx/stream/resample.h"
#include "rx/stream/sample_source.h"
#include "rx/verify/verification.h"

namespace dot11b::rx {
namespace {

ComplexRow noise(std::size_t n) {
  std::mt19937 random(3);
  std::normal_distribution<double> gauss;
  ComplexRow x(n);
  for (Complex& s : x) s = {gauss(random), gauss(random)};
  return x;
}

// `stage` over the capture in blocks of the given sizes (repeated), then at its end.
template <class Stage>
ComplexRow inBlocks(Stage stage, const ComplexRow& capture, const std::vector<std::size_t>& sizes) {
  ComplexRow out;
  std::size_t at = 0;
  for (std::size_t k = 0; at < capture.size(); ++k) {
    const std::size_t n = std::min(sizes[k % sizes.size()], capture.size() - at);
    stage.push(capture.data() + at, n, out);
    at += n;
  }
  stage.finish(out);
  return out;
}

struct Rates {
  double from, to;
};

class BlockStream : public ::testing::TestWithParam<Rates> {};

TEST_P(BlockStream, BlocksGiveWhatTheWholeCaptureGives) {
  const ComplexRow capture = noise(3001);
  const Rates r = GetParam();
  const ComplexRow whole = resample(capture, r.from, r.to);
  for (const std::vector<std::size_t>& sizes : std::vector<std::vector<std::size_t>>{{1}, {7}, {64, 0, 3}, {1000}})
    EXPECT_EQ(inBlocks(Resampler(r.from, r.to), capture, sizes), whole) << sizes.front();
  ComplexRow stream;
  FrontEnd frontEnd(r.from);
  frontEnd.push(capture.data(), capture.size(), stream);
  frontEnd.finish(stream);
  for (const std::vector<std::size_t>& sizes : std::vector<std::vector<std::size_t>>{{1}, {5, 2}, {777}})
    EXPECT_EQ(inBlocks(FrontEnd(r.from), capture, sizes), stream) << sizes.front();
}

// Resampled from 22 and 20 Msample/s (rational ratios), 99 (decimation), 44 (none) and 21.3 (no short
// period); the front end takes 22 as it is, decimates 44 and 88 and resamples the others.
INSTANTIATE_TEST_SUITE_P(Rates, BlockStream,
                         ::testing::Values(Rates{22e6, 44e6}, Rates{20e6, 44e6}, Rates{99e6, 44e6}, Rates{44e6, 44e6},
                                           Rates{21.3e6, 44e6}, Rates{88e6, 44e6}));

// The frames of `capture` read `blockSamples` at a time.
std::vector<ReceivedFrame> receivedInBlocks(const ComplexRow& capture, double rate, std::size_t blockSamples) {
  RowSource source(capture);
  std::vector<ReceivedFrame> frames;
  receiveStream(source, rate, [&](ReceivedFrame&& f) { frames.push_back(std::move(f)); }, blockSamples);
  return frames;
}

void expectSameFrames(const std::vector<ReceivedFrame>& got, const std::vector<ReceivedFrame>& want, std::size_t offset) {
  ASSERT_EQ(got.size(), want.size()) << "offset " << offset;
  for (std::size_t k = 0; k < got.size(); ++k) {
    EXPECT_EQ(got[k].psdu, want[k].psdu) << "offset " << offset;
    EXPECT_TRUE(got[k].fcsOk) << "offset " << offset;
    EXPECT_EQ(got[k].startSample, want[k].startSample) << "offset " << offset;
    EXPECT_EQ(got[k].endSample, want[k].endSample) << "offset " << offset;
    EXPECT_EQ(got[k].evmRmsPercent, want[k].evmRmsPercent) << "offset " << offset;
    EXPECT_EQ(got[k].cfoHz, want[k].cfoHz) << "offset " << offset;
    EXPECT_EQ(got[k].clockPpm, want[k].clockPpm) << "offset " << offset;
  }
}

TEST(BlockStream, AFrameAcrossBlockBoundariesDecodesAsInOneBlock) {
  // A short 11 Mbit/s frame after `offset` samples of silence, read 61 samples at a time: every sample of
  // a block is a block boundary at one offset or another.
  mac::PayloadSettings payload;
  payload.dataSourceType = 5;
  payload.dataLength = 12;
  payload.fcsActive = true;
  phy::FrameSettings settings;
  settings.dataRate = 11;
  settings.preambleType = 1;
  settings.oversamplingRate = 2;
  settings.idleSamples = 200;
  const ComplexRow frame = phy::generateFrame(mac::generatePayload(payload), settings).waveform;
  constexpr std::size_t kBlock = 61;
  for (std::size_t offset = 0; offset < kBlock; ++offset) {
    ComplexRow capture(offset, Complex(0, 0));
    capture.insert(capture.end(), frame.begin(), frame.end());
    const std::vector<ReceivedFrame> whole = receivedInBlocks(capture, 22e6, capture.size());
    ASSERT_EQ(whole.size(), 1u) << "offset " << offset;
    expectSameFrames(receivedInBlocks(capture, 22e6, kBlock), whole, offset);
  }
}

// A source that hands out at most `most` samples a read, as a file or radio may.
class TrickleSource : public SampleSource {
 public:
  TrickleSource(const ComplexRow& samples, std::size_t most) : row_(samples), most_(most) {}
  std::size_t read(Complex* out, std::size_t max) override { return row_.read(out, std::min(max, most_)); }

 private:
  RowSource row_;
  std::size_t most_;
};

TEST(BlockStream, AVerifiedStreamGivesEachFrameWithItsChecksAsItGoes) {
  // Twelve frames of 300 octets at 1, 2, 5.5 and 11 Mbit/s, 1 ms apart: far more than the receiver keeps.
  ComplexRow capture;
  for (int k = 0; k < 12; ++k) {
    mac::PayloadSettings payload;
    payload.dataSourceType = 5;
    payload.dataLength = 300;
    payload.fcsActive = true;
    phy::FrameSettings settings;
    settings.dataRate = std::vector<double>{1, 2, 5.5, 11}[static_cast<std::size_t>(k % 4)];
    settings.oversamplingRate = 2;
    settings.rampType = 1;
    settings.rampLength = 44;
    settings.idleSamples = 22000;
    const ComplexRow frame = phy::generateFrame(mac::generatePayload(payload), settings).waveform;
    capture.insert(capture.end(), frame.begin(), frame.end());
  }
  const Verification whole = verifyCapture(capture, 22e6, 2.412e9);
  ASSERT_EQ(whole.frames.size(), 12u);
  TrickleSource source(capture, 777);
  std::vector<std::size_t> heard;
  const Verification streamed = verifyStream(source, 22e6, 2.412e9, [&](const Verification& v, std::size_t k) {
    heard.push_back(k);
    EXPECT_EQ(v.checks.size(), k + 1);
  });
  EXPECT_EQ(heard, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
  expectSameFrames(streamed.frames, whole.frames, 0);
  ASSERT_EQ(streamed.checks.size(), whole.checks.size());
  for (std::size_t k = 0; k < whole.checks.size(); ++k)
    for (std::size_t c = 0; c < whole.checks[k].size(); ++c) EXPECT_EQ(streamed.checks[k][c].value, whole.checks[k][c].value) << k << " " << c;
  ASSERT_TRUE(streamed.mask && whole.mask);
  EXPECT_EQ(streamed.mask->inner.margin, whole.mask->inner.margin);

  // Frames alone, for a packet capture: the same frames and levels, no checks and no mask.
  TrickleSource again(capture, 777);
  const Verification framesOnly = verifyStream(again, 22e6, 2.412e9, [](const Verification&, std::size_t) {},
                                               {.transmitterChecks = false});
  expectSameFrames(framesOnly.frames, whole.frames, 0);
  EXPECT_EQ(framesOnly.levelsDb, whole.levelsDb);
  ASSERT_EQ(framesOnly.checks.size(), 12u);
  for (const auto& checks : framesOnly.checks) EXPECT_TRUE(checks.empty());
  EXPECT_FALSE(framesOnly.mask);
}

}  // namespace
}  // namespace dot11b::rx
