// SPDX-License-Identifier: GPL-3.0-or-later
// How a command on a radio ended, told the same way by capture, transmit and verify --device: the end of
// its duration, a stop asked for (Ctrl-C, SIGTERM, SIGHUP) or a failure of the radio or of the disk. Each
// keeps and closes what it has first; this says why on stderr and gives the exit status.
#pragma once

#include <string>
#include <string_view>

namespace dot11b::cli {

struct RadioEnding {
  std::string stoppedBy;  // what asked to stop ("Ctrl-C", "SIGTERM"); empty when nothing did
  std::string failure;    // the radio's or the disk's message; empty when nothing failed

  // The end of the summary line: "failed", "stopped by SIGTERM" or `complete` ("the duration ended").
  std::string why(std::string_view complete) const;
  // Prints "dot11b COMMAND: FAILURE; KEPT" on stderr after a failure; returns the exit status: 1 after a
  // failure, else 0.
  int status(std::string_view command, std::string_view kept) const;
};

}  // namespace dot11b::cli
