// SPDX-License-Identifier: GPL-3.0-or-later
// The receiver's stream (two samples a chip) as far as the decoding has read it: blocks of the capture are
// pulled through the front end as reads reach them, and what lies behind the decoding is let go, so that
// memory holds a frame or so, whatever the capture's length.
#pragma once

#include <cstddef>
#include <functional>

#include "phy/types.h"
#include "rx/stream/front_end.h"
#include "rx/stream/sample_source.h"
#include "rx/stream/sliding_samples.h"

namespace dot11b::rx {

class StreamWindow {
 public:
  // `blockSamples`: capture samples pulled at a time.
  StreamWindow(SampleSource& source, double sampleRate, std::size_t blockSamples);

  // Whether the stream holds the sample instant t, pulling blocks until it does or the capture ends.
  bool reaches(double t) {
    while (!(t < static_cast<double>(end())) && pull()) {}
    return t < static_cast<double>(end());
  }
  // Stream sample k; 0 before the stream and after its end. Samples let go must not be asked for.
  Sample operator[](long k) {
    const SampleRow& held = samples_.row();
    const long at = k - static_cast<long>(samples_.first());
    if (at >= 0 && at < static_cast<long>(held.size())) return held[static_cast<std::size_t>(at)];
    if (k < 0 || !reaches(static_cast<double>(k))) return {0, 0};
    if (at < 0) released(k);
    return samples_.row()[static_cast<std::size_t>(at)];
  }
  // The samples first .. first + count - 1 in one piece, once the stream holds them all (else nullptr):
  // for loops that read a stretch sample by sample.
  const Sample* stretch(std::size_t first, std::size_t count) {
    if (first < samples_.first() || !reaches(static_cast<double>(first + count - 1))) return nullptr;
    return samples_.from(first);
  }
  // Lets the samples before k go: the decoding has moved past them for good. `onRelease`, when set, hears
  // each such k.
  void releaseBefore(std::size_t k);
  void setOnRelease(std::function<void(std::size_t)> onRelease) { onRelease_ = std::move(onRelease); }

  // Capture samples read so far.
  std::size_t captureRead() const { return captureRead_; }

 private:
  std::size_t end() const { return samples_.end(); }
  // One more block of the capture; false once it had ended.
  bool pull();
  [[noreturn]] static void released(long k);

  SampleSource& source_;
  FrontEnd<Sample> frontEnd_;
  SampleRow block_;
  SlidingSamples<Sample> samples_;
  std::size_t captureRead_ = 0;
  bool ended_ = false;
  std::function<void(std::size_t)> onRelease_;
};

}  // namespace dot11b::rx
