// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/long_work.h"

namespace dot11b::toolkit {

namespace {

LongWork* installed = nullptr;

class UncancelledProgress : public Progress {
 public:
  void report(std::uint64_t, std::uint64_t) override {}
  bool cancelled() const override { return false; }
};

}  // namespace

void InlineWork::run(std::string_view, WorkUnit, const std::function<void(Progress&)>& work) {
  UncancelledProgress progress;
  work(progress);
}

LongWork& longWork() {
  static InlineWork inlineWork;
  return installed ? *installed : inlineWork;
}

void setLongWork(LongWork* w) { installed = w; }

}  // namespace dot11b::toolkit
