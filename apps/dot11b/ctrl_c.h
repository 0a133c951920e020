// SPDX-License-Identifier: GPL-3.0-or-later
// Ctrl-C as a request to stop. While a CtrlCStop lives, SIGINT sets its flag instead of ending the process,
// so that a command streaming to a radio stops within one stream call and releases the radio; a second
// Ctrl-C ends the process as usual, should the radio itself hang.
#pragma once

#include <atomic>
#include <csignal>

namespace dot11b::cli {

class CtrlCStop {
 public:
  CtrlCStop();
  ~CtrlCStop();
  CtrlCStop(const CtrlCStop&) = delete;
  CtrlCStop& operator=(const CtrlCStop&) = delete;

  const std::atomic<bool>& requested() const;

 private:
  struct sigaction previous_ {};
};

}  // namespace dot11b::cli
