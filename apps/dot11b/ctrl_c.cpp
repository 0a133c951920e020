// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctrl_c.h"

namespace dot11b::cli {

namespace {

// Set from the signal handler: lock-free, so that the handler may touch it.
std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void onInterrupt(int) { stopRequested.store(true); }

}  // namespace

CtrlCStop::CtrlCStop() {
  stopRequested.store(false);
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;  // the second signal takes the default action
  for (std::size_t k = 0; k < kSignals.size(); ++k) sigaction(kSignals[k], &action, &previous_[k]);
}

CtrlCStop::~CtrlCStop() {
  for (std::size_t k = 0; k < kSignals.size(); ++k) sigaction(kSignals[k], &previous_[k], nullptr);
}

const std::atomic<bool>& CtrlCStop::requested() const { return stopRequested; }

}  // namespace dot11b::cli
