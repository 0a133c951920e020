// SPDX-License-Identifier: GPL-3.0-or-later
#include "error_queue.h"

namespace sgsim {
namespace {

std::string entry(int code, const std::string& text) { return std::to_string(code) + ",\"" + text + "\""; }

}  // namespace

void ErrorQueue::push(int code, const std::string& text) {
  if (entries_.size() < kCapacity) {
    entries_.push_back(entry(code, text));
  } else {
    entries_.back() = entry(-350, "Queue overflow");
  }
}

std::string ErrorQueue::pop() {
  if (entries_.empty()) return entry(0, "No error");
  std::string oldest = entries_.front();
  entries_.pop_front();
  return oldest;
}

}  // namespace sgsim
