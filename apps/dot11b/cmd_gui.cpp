// SPDX-License-Identifier: GPL-3.0-or-later
// dot11b gui (and dot11b alone): the window application.
#include <iostream>

#include "c_host.h"
#include "command.h"

namespace dot11b::cli {

int runGui(const Args& args) {
  if (!args.empty()) {
    std::cerr << "dot11b gui: unexpected argument '" << args.front() << "'\n";
    return kUsage;
  }
  LibrarySession session;
  if (mlfDot11b_c() != 0 || dot11b_run_event_loop() != 0) {
    std::cerr << "dot11b: " << dot11b_last_error() << "\n";
    return kFailed;
  }
  return kOk;
}

}  // namespace dot11b::cli
