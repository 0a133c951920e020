// SPDX-License-Identifier: GPL-3.0-or-later
// A radio's receive stream as the receiver's sample source: a live capture that ends after a number of
// samples (a duration at the radio's rate) or when `stop` is set (Ctrl-C), whichever comes first.
#pragma once

#include <atomic>
#include <cstdint>

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
  // Throws RadioError when the stream fails or the radio stalls.
  std::size_t read(Complex* out, std::size_t max) override;

  std::uint64_t received() const { return received_; }
  std::uint64_t overflows() const { return stream_.overflows(); }
  // True when `stop` ended the capture before its samples were in.
  bool stopped() const { return received_ < samples_ && stop_.load(); }

 private:
  RxStream stream_;
  NativeSamples buffer_;
  std::uint64_t samples_;
  std::uint64_t received_ = 0;
  const std::atomic<bool>& stop_;
};

}  // namespace dot11b::sdr
