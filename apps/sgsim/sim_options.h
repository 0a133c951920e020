// SPDX-License-Identifier: GPL-3.0-or-later
// Command-line options of dot11b-sgsim.
#pragma once

#include <string>

namespace sgsim {

struct SimOptions {
  int port = -1;                      // TCP port to listen on; 0 picks a free one; -1 = none
  std::string bindAddress = "127.0.0.1";
  bool pty = false;                   // also serve a pseudo-terminal (the serial line)
  std::string storeFolder;            // where downloaded waveforms are written; empty = none
  std::string logFile;                // where each received command line is logged; empty = none
  // Fault switches for tests.
  bool refuse = false;                // take the port but refuse every connection
  int replyDelayMs = 0;               // wait this long before every reply
  bool dropInBlock = false;           // break a TCP connection once half a block has arrived
  bool stallInBlock = false;          // stop reading and answering, the connection kept, once half a block has arrived
  bool silent = false;                // take connections and commands but never answer
  long failCommand = 0;               // command number K (from 1) fails with an execution error
  long readRate = 0;                  // read a connection at most this many bytes per second; 0 = at once
};

// Parses the arguments; throws std::invalid_argument with a message and the usage for bad ones.
// Sets `help` for --help.
SimOptions parseOptions(int argc, char** argv, bool& help);

// The usage text.
const char* usage();

}  // namespace sgsim
