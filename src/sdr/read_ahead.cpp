// SPDX-License-Identifier: GPL-3.0-or-later
#include "sdr/read_ahead.h"

#include <algorithm>
#include <utility>

namespace dot11b::sdr {

ReadAheadSource::ReadAheadSource(rx::SampleSource& inner, std::size_t capacity, std::size_t block)
    : inner_(inner),
      capacity_(std::max<std::size_t>(capacity, 1)),
      block_(std::max<std::size_t>(block, 1)),
      parts_(std::make_unique_for_overwrite<float[]>(2 * capacity_)),
      ring_(reinterpret_cast<rx::Sample*>(parts_.get())),
      reader_([this] { readOn(); }) {}

ReadAheadSource::~ReadAheadSource() { stop(); }

void ReadAheadSource::stop() {
  {
    const std::lock_guard lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  if (reader_.joinable()) reader_.join();
}

void ReadAheadSource::readOn() {
  rx::SampleRow block(block_);
  for (;;) {
    std::size_t n = 0;
    std::exception_ptr failure;
    try {
      n = inner_.readSamples(block.data(), block.size());
    } catch (...) {
      failure = std::current_exception();
    }
    {
      const std::lock_guard lock(mutex_);
      if (n == 0 || failure) {
        ended_ = true;
        failure_ = failure;
      }
      const std::size_t kept = std::min(n, capacity_ - held_);
      const std::size_t tail = (head_ + held_) % capacity_, first = std::min(kept, capacity_ - tail);
      std::copy_n(block.begin(), first, ring_ + tail);
      std::copy_n(block.begin() + static_cast<std::ptrdiff_t>(first), kept - first, ring_);
      held_ += kept;
      dropped_ += n - kept;
      mostHeld_ = std::max(mostHeld_, held_);
    }
    changed_.notify_all();
    if (n == 0 || failure) return;
    const std::lock_guard lock(mutex_);
    if (quit_) return;
  }
}

std::size_t ReadAheadSource::readSamples(rx::Sample* out, std::size_t max) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return held_ > 0 || ended_ || quit_; });
  if (held_ == 0 && failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
  // In at most two pieces: to the ring's end, then from its start.
  const std::size_t n = std::min(max, held_);
  const std::size_t first = std::min(n, capacity_ - head_);
  std::copy_n(ring_ + head_, first, out);
  std::copy_n(ring_, n - first, out + first);
  head_ = (head_ + n) % capacity_;
  held_ -= n;
  return n;
}

std::size_t ReadAheadSource::read(Complex* out, std::size_t max) {
  wide_.resize(max);
  const std::size_t n = readSamples(wide_.data(), max);
  std::copy_n(wide_.begin(), n, out);
  return n;
}

std::uint64_t ReadAheadSource::dropped() const {
  const std::lock_guard lock(mutex_);
  return dropped_;
}

std::size_t ReadAheadSource::mostHeld() const {
  const std::lock_guard lock(mutex_);
  return mostHeld_;
}

}  // namespace dot11b::sdr
