// SPDX-License-Identifier: GPL-3.0-or-later
// A live source read on a thread of its own into a ring of samples, which the decoding takes from on its
// thread: a radio's stream is drained at the radio's pace whatever the decoding does, so that a decoder
// held up (a burst of frames, a slow moment of the machine) for less than the ring holds loses nothing and
// the radio sees no overflow. Should the decoding fall behind by more than the ring, the samples with no
// room are dropped and counted.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "rx/stream/sample_source.h"

namespace dot11b::sdr {

// How far the decoding of a live radio may fall behind it without a loss [s].
inline constexpr double kReadAheadSeconds = 1.0;

class ReadAheadSource : public rx::SampleSource {
 public:
  // Starts reading `inner` (which must outlive this) into a ring of `capacity` samples, `block` at a time.
  ReadAheadSource(rx::SampleSource& inner, std::size_t capacity, std::size_t block = 1 << 14);
  // Stops reading after the inner source's current read, and waits for it.
  ~ReadAheadSource() override;
  ReadAheadSource(const ReadAheadSource&) = delete;
  ReadAheadSource& operator=(const ReadAheadSource&) = delete;

  // Waits for samples; 0 once the inner source has ended and every sample has been taken. What the inner
  // source threw is thrown here once the samples before it have been taken.
  std::size_t readSamples(rx::Sample* out, std::size_t max) override;
  std::size_t read(Complex* out, std::size_t max) override;

  // Stops the reading thread (as the destructor does): the inner source may be asked about then.
  void stop();
  // Samples dropped for want of room in the ring.
  std::uint64_t dropped() const;
  // The most samples the ring has held at once.
  std::size_t mostHeld() const;

 private:
  void readOn();

  rx::SampleSource& inner_;
  const std::size_t capacity_, block_;
  // The ring's samples as their parts (std::complex<float> is laid out as float[2]): an array of floats is
  // left uninitialised, so that the pages of a ring of a second or more are taken only as samples reach them.
  std::unique_ptr<float[]> parts_;
  rx::Sample* ring_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t head_ = 0, held_ = 0;  // the oldest sample's slot, and how many are held
  std::size_t mostHeld_ = 0;
  std::uint64_t dropped_ = 0;
  bool ended_ = false, quit_ = false;
  std::exception_ptr failure_;
  rx::SampleRow wide_;  // for read()
  std::thread reader_;
};

}  // namespace dot11b::sdr
