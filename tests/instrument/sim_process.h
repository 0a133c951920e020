// SPDX-License-Identifier: GPL-3.0-or-later
// Runs dot11b-sgsim as a child process for one test, in a private temporary folder.
#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace instrument_test {

class SimProcess {
 public:
  // extra: options after the always-given "--log <tmp>/commands.log --store <tmp>/store".
  // started() tells whether the simulator came up.
  explicit SimProcess(const std::vector<std::string>& extra);
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  bool started() const { return started_; }
  int port() const { return port_; }                      // TCP port, when --port was given
  const std::string& pty() const { return pty_; }         // pseudo-terminal device, when --pty was given
  std::string stored(const std::string& memory, const std::string& title) const;  // bytes of ARBI/MKRI
  bool hasStored(const std::string& memory, const std::string& title) const;
  // The command log once it holds at least `count` lines (or after `wait`, whatever it holds).
  std::vector<std::string> logLines(std::size_t count = 0,
                                    std::chrono::milliseconds wait = std::chrono::milliseconds(3000)) const;
  // The command log once its last line is `last` (or after 3 s, whatever it holds).
  std::vector<std::string> logLinesUntil(const std::string& last) const;

 private:
  std::string folder_;
  pid_t pid_ = -1;
  bool started_ = false;
  int port_ = -1;
  std::string pty_;
};

// The log without the :SYSTem:ERRor? checks the module adds after each command.
std::vector<std::string> withoutErrorQueries(const std::vector<std::string>& lines);

}  // namespace instrument_test
