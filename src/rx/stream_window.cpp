#include "rx/stream_window.h"

#include <stdexcept>
#include <string>

namespace dot11b::rx {

StreamWindow::StreamWindow(SampleSource& source, double sampleRate, std::size_t blockSamples)
    : source_(source), frontEnd_(sampleRate), block_(std::max<std::size_t>(1, blockSamples)) {}

bool StreamWindow::pull() {
  if (ended_) return false;
  const std::size_t n = source_.read(block_.data(), block_.size());
  captureRead_ += n;
  if (n == 0) {
    ended_ = true;
    frontEnd_.finish(samples_);
  } else {
    frontEnd_.push(block_.data(), n, samples_);
  }
  return true;
}

void StreamWindow::released(long k) {
  throw std::logic_error("the receiver read stream sample " + std::to_string(k) + " after letting it go");
}

void StreamWindow::releaseBefore(std::size_t k) {
  if (onRelease_) onRelease_(k);
  if (k <= base_) return;
  const std::size_t drop = std::min(k - base_, samples_.size());
  // Dropping from the front copies what is held; doing it only once a block's worth has gathered keeps
  // that copying to a share of the reading.
  if (drop < block_.size() && drop < samples_.size() / 2) return;
  samples_.erase(samples_.begin(), samples_.begin() + static_cast<std::ptrdiff_t>(drop));
  base_ += drop;
}

}  // namespace dot11b::rx
