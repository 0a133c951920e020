// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a shell command line for tests of the command-line programs.
#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace dot11b::testing {

struct CommandResult {
  int status = -1;
  std::string output;  // stdout and stderr together
};

// Runs a shell command line (stdin from /dev/null) and collects its output.
inline CommandResult runCommand(const std::string& commandLine) {
  CommandResult result;
  std::FILE* pipe = ::popen((commandLine + " </dev/null 2>&1").c_str(), "r");
  if (!pipe) return result;
  std::array<char, 4096> buffer;
  while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) result.output.append(buffer.data(), n);
  const int raw = ::pclose(pipe);
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return result;
}

// A text as one shell word.
inline std::string shellQuoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

}  // namespace dot11b::testing
