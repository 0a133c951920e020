// SPDX-License-Identifier: GPL-3.0-or-later
// Ctrl-C as a request to stop. While a CtrlCStop lives, SIGINT (and SIGTERM and SIGHUP, which a closing
// terminal or a program such as Wireshark sends) sets its flag instead of ending the process, so that a
// command streaming to a radio stops within one stream call and releases the radio; a second signal of the
// same kind ends the process as usual, should the radio itself hang.
#pragma once

#include <array>
#include <atomic>
#include <csignal>
#include <string>

namespace dot11b::cli {

class CtrlCStop {
 public:
  CtrlCStop();
  ~CtrlCStop();
  CtrlCStop(const CtrlCStop&) = delete;
  CtrlCStop& operator=(const CtrlCStop&) = delete;

  const std::atomic<bool>& requested() const;
  // What asked to stop, for a summary: "Ctrl-C", "SIGTERM" or "SIGHUP"; empty while nothing has.
  std::string stopText() const;

 private:
  static constexpr std::array<int, 3> kSignals = {SIGINT, SIGTERM, SIGHUP};
  std::array<struct sigaction, kSignals.size()> previous_{};
};

}  // namespace dot11b::cli
