// SPDX-License-Identifier: GPL-3.0-or-later
// A live decode reads the radio on a thread of its own, a second ahead of the decoding: a decoder held up
// for half a second while the loopback radio delivers at its real pace loses nothing, where reading the
// radio from the decoding's own thread overflows the radio's buffer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <stdexcept>
#include <thread>

#include "instrument/cli_runner.h"
#include "loopback_support.h"
#include "phy/samples/peak_scaling.h"
#include "rx/receiver.h"
#include "rx/stream/sample_source.h"
#include "sdr/radio_source.h"
#include "sdr/read_ahead.h"

namespace {

using dot11b::ComplexRow;
using dot11b::rx::Sample;
using dot11b::rx::SampleRow;
using dot11b::sdr::ReadAheadSource;
using sdr_test::Folder;

ComplexRow ramp(std::size_t n) {
  ComplexRow x(n);
  for (std::size_t k = 0; k < n; ++k) x[k] = {static_cast<double>(k), -static_cast<double>(k)};
  return x;
}

// Every sample of the source, in blocks of `block`; `taken` counts them as they come.
SampleRow drain(dot11b::rx::SampleSource& source, std::size_t block, std::atomic<std::size_t>* taken = nullptr) {
  SampleRow all, part(block);
  while (const std::size_t n = source.readSamples(part.data(), part.size())) {
    all.insert(all.end(), part.begin(), part.begin() + static_cast<std::ptrdiff_t>(n));
    if (taken) *taken += n;
  }
  return all;
}

// Samples in memory, a block at a time once the reader has made room for it in a ring of `capacity`: the
// ring runs round many times and never overflows, however the threads are scheduled.
class RoomWaitingSource : public dot11b::rx::SampleSource {
 public:
  RoomWaitingSource(const ComplexRow& samples, std::size_t capacity, const std::atomic<std::size_t>& taken)
      : row_(samples), capacity_(capacity), taken_(taken) {}
  std::size_t read(dot11b::Complex* out, std::size_t max) override {
    while (given_ + max > taken_ + capacity_) std::this_thread::sleep_for(std::chrono::microseconds(200));
    const std::size_t n = row_.read(out, max);
    given_ += n;
    return n;
  }

 private:
  dot11b::rx::RowSource row_;
  const std::size_t capacity_;
  const std::atomic<std::size_t>& taken_;
  std::size_t given_ = 0;
};

TEST(ReadAhead, GivesEverySampleInOrderAcrossTheRingsEnd) {
  const ComplexRow samples = ramp(10007);
  std::atomic<std::size_t> taken{0};
  RoomWaitingSource inner(samples, 1000, taken);
  ReadAheadSource ahead(inner, 1000, 333);
  const SampleRow got = drain(ahead, 77, &taken);
  EXPECT_EQ(ahead.dropped(), 0u);
  ASSERT_EQ(got.size(), samples.size());
  for (std::size_t k = 0; k < got.size(); ++k) ASSERT_EQ(got[k], Sample(samples[k])) << k;
  EXPECT_LE(ahead.mostHeld(), 1000u);
}

TEST(ReadAhead, ASlowReaderLosesWhatTheRingHasNoRoomForAndIsToldSo) {
  const ComplexRow samples = ramp(10000);
  dot11b::rx::RowSource inner(samples);
  ReadAheadSource ahead(inner, 1000, 500);
  // The reading runs on to the source's end before anything is taken.
  for (int wait = 0; wait < 1000 && ahead.dropped() < 9000; ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(ahead.dropped(), 9000u);
  const SampleRow got = drain(ahead, 4096);
  ASSERT_EQ(got.size(), 1000u);
  EXPECT_EQ(got.front(), Sample(samples.front()));
  EXPECT_EQ(got.back(), Sample(samples[999]));
}

// A source that fails after its first block.
class FailingSource : public dot11b::rx::SampleSource {
 public:
  std::size_t read(dot11b::Complex* out, std::size_t max) override {
    if (given_) throw std::runtime_error("the radio has gone");
    given_ = true;
    std::fill_n(out, max, dot11b::Complex(1, 2));
    return max;
  }

 private:
  bool given_ = false;
};

TEST(ReadAhead, AFailureComesAfterTheSamplesBeforeIt) {
  FailingSource inner;
  ReadAheadSource ahead(inner, 1000, 100);
  SampleRow block(1000);
  std::size_t got = 0;
  EXPECT_THROW(
      {
        while (const std::size_t n = ahead.readSamples(block.data(), block.size())) got += n;
      },
      std::runtime_error);
  EXPECT_EQ(got, 100u);
}

struct LiveRun {
  std::size_t frames = 0, good = 0;  // found, and with their FCS holding
  std::uint64_t overflows = 0, dropped = 0;
};

// The radio, at its real pace with 0.35 s of buffer (room for the reading thread to be scheduled late on a
// busy machine), plays three frames 20 ms apart and then silence, 0.2 s in all; the decoder sleeps for 0.5 s
// as it hears of the first frame.
LiveRun decodeHeldUp(const Folder& folder, bool readAhead) {
  dot11b::sdr::Radio radio("driver=loopback,hold=0.35,play=" + (folder / "played.cf32"));
  const double rate = dot11b::sdr::setUpReceive(radio, 20e6, {2412e6, 20.0, {}, ""});
  const std::atomic<bool> stop{false};
  dot11b::sdr::RadioSource radioSource(radio, static_cast<std::uint64_t>(0.2 * rate), stop);
  std::optional<ReadAheadSource> ahead;
  if (readAhead) ahead.emplace(radioSource, static_cast<std::size_t>(rate * dot11b::sdr::kReadAheadSeconds));
  dot11b::rx::SampleSource& source = ahead ? static_cast<dot11b::rx::SampleSource&>(*ahead) : radioSource;
  LiveRun run;
  dot11b::rx::receiveStream(source, rate, [&](dot11b::rx::ReceivedFrame&& frame) {
    if (run.frames++ == 0) std::this_thread::sleep_for(std::chrono::milliseconds(500));
    run.good += frame.fcsOk ? 1 : 0;
  });
  if (ahead) {
    ahead->stop();
    run.dropped = ahead->dropped();
  }
  run.overflows = radioSource.overflows();
  return run;
}

TEST(ReadAhead, ADecoderHeldUpForHalfASecondLosesNothingOfALiveRadio) {
  const Folder folder;
  ASSERT_EQ(instrument_test::runCli({"generate", "--template", "data", "--rate", "20e6", "--out", folder / "frame.cf64"})
                .exitStatus,
            0);
  const ComplexRow frame = sdr_test::readComplex(folder / "frame.cf64", true);
  const double scale = 0.5 / dot11b::phy::peakComponent(frame);
  ComplexRow played;
  for (int k = 0; k < 3; ++k) {
    for (const dot11b::Complex& s : frame) played.push_back(s * scale);
    played.resize(played.size() + static_cast<std::size_t>(0.02 * 20e6));
  }
  sdr_test::writeCf32(folder / "played.cf32", played);

  const LiveRun ahead = decodeHeldUp(folder, true);
  EXPECT_EQ(ahead.frames, 3u);
  EXPECT_EQ(ahead.good, 3u);
  EXPECT_EQ(ahead.overflows, 0u);
  EXPECT_EQ(ahead.dropped, 0u);
  // Read on the decoding's thread, the radio's buffer overflows while the decoder sleeps, and the frames in
  // the samples it lost are gone.
  const LiveRun inline_ = decodeHeldUp(folder, false);
  EXPECT_GT(inline_.overflows, 0u);
  EXPECT_LT(inline_.good, 3u);
}

}  // namespace
