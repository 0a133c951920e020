// SPDX-License-Identifier: GPL-3.0-or-later
// The instrument's error queue, read oldest first by :SYSTem:ERRor?.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

namespace sgsim {

class ErrorQueue {
 public:
  // Queue length; when full the newest entry becomes -350 "Queue overflow" (SCPI-99 21.8.9).
  static constexpr std::size_t kCapacity = 16;

  void push(int code, const std::string& text);
  // The oldest entry as a query answers it, e.g. `-113,"Undefined header"`, or `0,"No error"`.
  std::string pop();
  void clear() { entries_.clear(); }
  std::size_t size() const { return entries_.size(); }

 private:
  std::deque<std::string> entries_;
};

}  // namespace sgsim
