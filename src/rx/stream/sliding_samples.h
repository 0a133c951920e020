// SPDX-License-Identifier: GPL-3.0-or-later
// Samples of a stream from some absolute index on: appended at the back and let go at the front, the
// copying that letting go takes done only once enough has gathered, so that it stays a share of the reading.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "phy/types.h"
#include "rx/stream/lanes.h"

namespace dot11b::rx {

// `S`: the sample type, the receiver's or double precision.
template <typename S = Complex>
class SlidingSamples {
 public:
  // `minDrop`: samples that must have gathered before the front is let go (unless it is all that is held):
  // what stays is moved to the front, so a small drop from a long row would move the row again and again.
  explicit SlidingSamples(std::size_t minDrop = 1 << 16) : minDrop_(minDrop) {}

  // Grown first, then filled a vector register at a time: an insert copies a std::complex at a time.
  void append(const S* samples, std::size_t n) {
    const std::size_t at = held_.size();
    held_.resize(at + n);
    copyParts(reinterpret_cast<const typename S::value_type*>(samples), 2 * n,
              reinterpret_cast<typename S::value_type*>(held_.data() + at));
  }
  std::vector<S>& row() { return held_; }  // to append to directly
  const std::vector<S>& row() const { return held_; }

  std::size_t first() const { return first_; }  // the absolute index of row()[0]
  std::size_t end() const { return first_ + held_.size(); }
  // Absolute sample k onwards, which must be held.
  const S* from(std::size_t k) const { return held_.data() + (k - first_); }

  // The samples before absolute index k are needed no more.
  void releaseBefore(std::size_t k) {
    if (k <= first_) return;
    const std::size_t drop = std::min(k - first_, held_.size());
    if (drop < minDrop_ && drop < held_.size()) return;
    held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(drop));
    first_ += drop;
  }

 private:
  std::size_t minDrop_;
  std::vector<S> held_;
  std::size_t first_ = 0;
};

}  // namespace dot11b::rx
