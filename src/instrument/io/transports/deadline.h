// SPDX-License-Identifier: GPL-3.0-or-later
// A point in time by which one bus step must have finished.
#pragma once

#include <algorithm>
#include <chrono>

namespace dot11b::instrio {

class Deadline {
 public:
  using Clock = std::chrono::steady_clock;

  // budget: time allowed from now [ms].
  explicit Deadline(std::chrono::milliseconds budget) : end_(Clock::now() + budget), budget_(budget) {}

  // A deadline for a transfer that counts from the last byte that moved: each moved() starts the budget
  // afresh, so that a stalled line fails within it and a slow line that keeps moving finishes.
  static Deadline sinceLastByte(std::chrono::milliseconds budget) {
    Deadline d(budget);
    d.restartable_ = true;
    return d;
  }
  // Bytes moved: a deadline since the last byte starts again; any other stays where it is.
  void moved() {
    if (restartable_) end_ = Clock::now() + budget_;
  }
  bool countsFromLastByte() const { return restartable_; }

  // The same deadline, but ending no later than `step` from now: for waits that must return now and then.
  Deadline within(std::chrono::milliseconds step) const {
    Deadline d = *this;
    d.end_ = std::min(end_, Clock::now() + step);
    return d;
  }

  // Whole milliseconds left, rounded up so that a wait never returns just before the end; 0 once passed.
  int remainingMs() const {
    const auto left = end_ - Clock::now();
    if (left <= Clock::duration::zero()) return 0;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return ms > 0x7fffffff ? 0x7fffffff : static_cast<int>(ms);
  }
  bool expired() const { return Clock::now() >= end_; }
  // The whole time allowed [ms], for messages.
  long long budgetMs() const { return budget_.count(); }

 private:
  Clock::time_point end_;
  std::chrono::milliseconds budget_;
  bool restartable_ = false;
};

}  // namespace dot11b::instrio
