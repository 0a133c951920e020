// SPDX-License-Identifier: GPL-3.0-or-later
// The library as a host program loads it: copied into a folder of the host's own with its modules and
// opened there with dlopen, with no library path and with a dlopen-forwarding shim preloaded (as
// sanitizers and tracing tools interpose dlopen). The instrument module must still be found.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "sim_process.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct ChildResult {
  int exitStatus = -1;
  std::string output;
};

// Runs argv with the environment `env`, standard output captured.
ChildResult runChild(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
  int out[2];
  if (::pipe(out) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    ::close(out[0]);
    ::close(out[1]);
    std::vector<char*> args, vars;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    for (const std::string& v : env) vars.push_back(const_cast<char*>(v.c_str()));
    args.push_back(nullptr);
    vars.push_back(nullptr);
    ::execve(args[0], args.data(), vars.data());
    ::_exit(127);
  }
  ::close(out[1]);
  ChildResult result;
  char buffer[512];
  for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) result.output.append(buffer, static_cast<std::size_t>(n));
  ::close(out[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

// This process's environment without a library path, with the shim preloaded. A sanitizer's run-time
// library insists on coming first; the preloaded shim is meant to come before it here.
std::vector<std::string> hostEnvironment() {
  std::vector<std::string> env;
  std::string sanitizerOptions = "verify_asan_link_order=0";
  for (char** v = environ; *v != nullptr; ++v) {
    const std::string var = *v;
    if (var.rfind("LD_LIBRARY_PATH=", 0) == 0 || var.rfind("LD_PRELOAD=", 0) == 0) continue;
    if (var.rfind("ASAN_OPTIONS=", 0) == 0) {
      sanitizerOptions += ":" + var.substr(13);
      continue;
    }
    env.push_back(var);
  }
  env.push_back("LD_PRELOAD=" + std::string(DLOPEN_SHIM));
  env.push_back("ASAN_OPTIONS=" + sanitizerOptions);
  return env;
}

TEST(Hosting, ALibraryCopiedWithItsModulesPingsThroughAnInterposedDlopen) {
  char pattern[] = "/tmp/dot11b-host-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const fs::path folder = pattern;
  for (const char* file : {LIBRARY_FILE, INSTRIO_FILE, WINDOWS_MODULE_FILE, MATFILE_MODULE_FILE}) {
    fs::copy_file(file, folder / fs::path(file).filename());
  }
  instrument_test::SimProcess sim({"--port", "0"});
  ASSERT_TRUE(sim.started());

  const ChildResult host = runChild({COPIED_HOST, folder.string(), std::to_string(sim.port())}, hostEnvironment());
  EXPECT_EQ(host.exitStatus, 0) << host.output;
  EXPECT_NE(host.output.find("status 0: "), std::string::npos) << host.output;
  fs::remove_all(folder);
}

}  // namespace
