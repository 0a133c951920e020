// Command-line options of dot11b-sgsim.
#pragma once

#include <string>

namespace sgsim {

struct SimOptions {
  int port = -1;                      // TCP port to listen on; 0 picks a free one; -1 = none
  std::string bind_address = "127.0.0.1";
  bool pty = false;                   // also serve a pseudo-terminal (the serial line)
  std::string store_folder;           // where downloaded waveforms are written; empty = none
  std::string log_file;               // where each received command line is logged; empty = none
  // Fault switches for tests.
  bool refuse = false;                // take the port but refuse every connection
  int reply_delay_ms = 0;             // wait this long before every reply
  bool drop_in_block = false;         // break a TCP connection once half a block has arrived
  long fail_command = 0;              // command number K (from 1) fails with an execution error
};

// Parses the arguments; throws std::invalid_argument with a message and the usage for bad ones.
// Sets `help` for --help.
SimOptions parse_options(int argc, char** argv, bool& help);

// The usage text.
const char* usage();

}  // namespace sgsim
