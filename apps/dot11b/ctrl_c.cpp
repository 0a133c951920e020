// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctrl_c.h"

namespace dot11b::cli {

namespace {

// Set from the signal handler: lock-free, so that the handler may touch it.
std::atomic<bool> stopRequested{false};
std::atomic<int> stopSignal{0};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

void onInterrupt(int signal) {
  int none = 0;
  stopSignal.compare_exchange_strong(none, signal);  // the first one is the reason
  stopRequested.store(true);
}

}  // namespace

CtrlCStop::CtrlCStop() {
  stopRequested.store(false);
  stopSignal.store(0);
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

std::string CtrlCStop::stopText() const {
  switch (stopSignal.load()) {
    case 0: return "";
    case SIGINT: return "Ctrl-C";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
  }
  return "a signal";
}

}  // namespace dot11b::cli
