// SPDX-License-Identifier: GPL-3.0-or-later
// Whole commands as new processes, for the benchmarks that time what a user runs: the child's peak resident
// size and minor page faults come back beside its exit.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace bench {

struct ChildUsage {
  double maxResidentKb = 0;
  double minorFaults = 0;
};

// Runs the program with its arguments, output discarded; false when it could not run or exited with
// another status than `expectedStatus`.
inline bool runChild(const std::vector<std::string>& argv, ChildUsage& usage, int expectedStatus = 0) {
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    if (!std::freopen("/dev/null", "w", stdout) || !std::freopen("/dev/null", "w", stderr)) _exit(127);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  rusage r{};
  if (wait4(pid, &status, 0, &r) != pid) return false;
  usage.maxResidentKb = static_cast<double>(r.ru_maxrss);
  usage.minorFaults = static_cast<double>(r.ru_minflt);
  return WIFEXITED(status) && WEXITSTATUS(status) == expectedStatus;
}

}  // namespace bench
