// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/stream/stream_window.h"

#include <stdexcept>
#include <string>

namespace dot11b::rx {

// What stays when the front is let go, up to a block pulled ahead, is moved: letting go four blocks at a
// time keeps that a quarter of a sample moved for each sample read.
StreamWindow::StreamWindow(SampleSource& source, double sampleRate, std::size_t blockSamples)
    : source_(source), frontEnd_(sampleRate), block_(std::max<std::size_t>(1, blockSamples)), samples_(4 * block_.size()) {}

bool StreamWindow::pull() {
  if (ended_) return false;
  const std::size_t n = source_.readSamples(block_.data(), block_.size());
  captureRead_ += n;
  if (n == 0) {
    ended_ = true;
    frontEnd_.finish(samples_.row());
  } else {
    frontEnd_.push(block_.data(), n, samples_.row());
  }
  return true;
}

void StreamWindow::released(long k) {
  throw std::logic_error("the receiver read stream sample " + std::to_string(k) + " after letting it go");
}

void StreamWindow::releaseBefore(std::size_t k) {
  if (onRelease_) onRelease_(k);
  samples_.releaseBefore(k);
}

}  // namespace dot11b::rx
