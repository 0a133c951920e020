// SPDX-License-Identifier: GPL-3.0-or-later
// A radio's receive stream as the receiver's sample source: a live capture that ends after a number of
// samples (a duration at the radio's rate), when `stop` is set (Ctrl-C) or when the radio fails, whichever
// comes first. A failure ends the samples as the duration does, so that what came before is decoded whole;
// failure() says why.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "rx/stream/sample_source.h"
#include "sdr/radio.h"
#include "sdr/streams.h"

namespace dot11b::sdr {

// Sets the radio's receive rate, then its frequency, gain and antenna; returns the rate it runs at.
double setUpReceive(Radio& radio, double rate, const TuneSettings& settings);

class RadioSource : public rx::SampleSource {
 public:
  // The radio must be set up (setUpReceive); the stream opens here, in the radio's own format, and closes
  // with the source.
  RadioSource(Radio& radio, std::uint64_t samples, const std::atomic<bool>& stop);
  // 0 at the end: the duration reached, `stop` set or the radio failed.
  std::size_t read(Complex* out, std::size_t max) override;
  // Straight from the radio's format into the receiver's.
  std::size_t readSamples(rx::Sample* out, std::size_t max) override;

  std::uint64_t received() const { return received_; }
  std::uint64_t overflows() const { return stream_.overflows(); }
  // The samples at which a new segment starts, samples having been lost before each.
  const std::vector<std::uint64_t>& segmentStarts() const { return segmentStarts_; }
  // True when `stop` ended the capture before its samples were in.
  bool stopped() const { return received_ < samples_ && failure_.empty() && stop_.load(); }
  // The radio's message when its stream failed or it stalled; empty otherwise.
  const std::string& failure() const { return failure_; }

 private:
  template <typename S>
  std::size_t take(S* out, std::size_t max);

  RxStream stream_;
  NativeSamples buffer_;
  std::uint64_t samples_;
  std::uint64_t received_ = 0;
  std::vector<std::uint64_t> segmentStarts_;
  std::string failure_;
  const std::atomic<bool>& stop_;
};

}  // namespace dot11b::sdr
