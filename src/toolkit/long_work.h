// SPDX-License-Identifier: GPL-3.0-or-later
// Work that may take minutes (a waveform transfer over a slow bus): run so that the window stays
// responsive, shows the progress and can be cancelled. One interface, so that the window runs the work
// beside a progress dialog, the command line inline, and tests as they choose.
#pragma once

#include "runtime/shared_api.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace dot11b::toolkit {

// What the work counts as it goes, for the progress shown.
enum class WorkUnit { Bytes, Commands };

// What the work sees while it runs. Both calls may come from a thread other than the one that started
// the work, and must be cheap: the work calls them between blocks of a few milliseconds.
class Progress {
 public:
  virtual ~Progress() = default;
  // done of total units (the WorkUnit the work was started with); total 0 when unknown.
  virtual void report(std::uint64_t done, std::uint64_t total) = 0;
  // True once the user asked to stop; the work then ends as soon as it can (well within a second).
  virtual bool cancelled() const = 0;
};

class LongWork {
 public:
  virtual ~LongWork() = default;
  // Runs `work` to its end and returns when it has ended. `work` must not touch the library's globals
  // or windows: it may run on another thread. `title` names the work for the user ("Downloading
  // waveform"); `unit` is what its progress counts.
  virtual void run(std::string_view title, WorkUnit unit, const std::function<void(Progress&)>& work) = 0;
};

// Runs the work on the calling thread; nothing is shown and nothing cancels it.
class DOT11B_SHARED InlineWork : public LongWork {
 public:
  void run(std::string_view title, WorkUnit unit, const std::function<void(Progress&)>& work) override;
};

// The runner in use: InlineWork unless another was installed.
LongWork& longWork();
// Installs `w` (not owned; it must outlive its use); nullptr goes back to InlineWork.
DOT11B_SHARED void setLongWork(LongWork* w);

}  // namespace dot11b::toolkit
