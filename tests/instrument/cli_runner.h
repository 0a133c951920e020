// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the dot11b command-line tool and collects its exit status and output.
#pragma once

#include <poll.h>

#include <string>
#include <vector>

namespace instrument_test {

struct CliResult {
  int exitStatus = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

// The tool's standard output and error as they come, from both pipes at once (a child blocked on one full
// pipe would otherwise never finish); the pipes are closed with the object.
class CliOutput {
 public:
  CliOutput(int outFd, int errFd);
  ~CliOutput();
  CliOutput(const CliOutput&) = delete;
  CliOutput& operator=(const CliOutput&) = delete;
  // Appends what comes within timeoutMs (-1: until something does) to out and err; false once both have ended.
  bool readSome(int timeoutMs, std::string& out, std::string& err);

 private:
  pollfd fds_[2];
};

// The tool started with the arguments (no shell involved) and `inputFd` as its standard input;
// its standard output and error come through the pipes `out` and `err`. The pid, or -1.
int startCli(const std::vector<std::string>& args, int inputFd, int& out, int& err);

// Runs build/bin/dot11b with the arguments (no shell involved); standard input is an empty pipe.
CliResult runCli(const std::vector<std::string>& args);

// The same with standard input on a terminal (a pseudo-terminal) on which `typed` is typed, as a
// user answers a question.
CliResult runCliOnTerminal(const std::vector<std::string>& args, const std::string& typed);

}  // namespace instrument_test
