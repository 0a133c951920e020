// The receiver's stream (four samples a chip) as far as the decoding has read it: blocks of the capture are
// pulled through the front end as reads reach them, and what lies behind the decoding is let go, so that
// memory holds a frame or so, whatever the capture's length.
#pragma once

#include <cstddef>
#include <functional>

#include "phy/types.h"
#include "rx/front_end.h"
#include "rx/sample_source.h"

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
  Complex operator[](long k) {
    const long at = k - static_cast<long>(base_);
    if (at >= 0 && at < static_cast<long>(samples_.size())) return samples_[static_cast<std::size_t>(at)];
    if (k < 0 || !reaches(static_cast<double>(k))) return {0, 0};
    if (at < 0) released(k);
    return samples_[static_cast<std::size_t>(at)];
  }
  // The samples first .. first + count - 1 in one piece, once the stream holds them all (else nullptr):
  // for loops that read a stretch sample by sample.
  const Complex* stretch(std::size_t first, std::size_t count) {
    if (first < base_ || !reaches(static_cast<double>(first + count - 1))) return nullptr;
    return samples_.data() + (first - base_);
  }
  // Lets the samples before k go: the decoding has moved past them for good. `onRelease`, when set, hears
  // each such k.
  void releaseBefore(std::size_t k);
  void setOnRelease(std::function<void(std::size_t)> onRelease) { onRelease_ = std::move(onRelease); }

  // Capture samples read so far, and stream samples held now.
  std::size_t captureRead() const { return captureRead_; }
  std::size_t held() const { return samples_.size(); }

 private:
  std::size_t end() const { return base_ + samples_.size(); }
  // One more block of the capture; false once it had ended.
  bool pull();
  [[noreturn]] static void released(long k);

  SampleSource& source_;
  FrontEnd frontEnd_;
  ComplexRow block_;
  ComplexRow samples_;     // stream samples from base_ on
  std::size_t base_ = 0;
  std::size_t captureRead_ = 0;
  bool ended_ = false;
  std::function<void(std::size_t)> onRelease_;
};

}  // namespace dot11b::rx
