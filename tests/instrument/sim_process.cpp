// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_process.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace instrument_test {
namespace {

// Reads the simulator's start-up lines until "ready" (or a time-out / its exit).
std::vector<std::string> readStartupLines(int fd) {
  std::vector<std::string> lines;
  std::string partial;
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (std::chrono::steady_clock::now() < giveUp) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    char c = 0;
    if (::read(fd, &c, 1) != 1) break;
    if (c != '\n') {
      partial += c;
      continue;
    }
    lines.push_back(partial);
    if (partial == "ready") break;
    partial.clear();
  }
  return lines;
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& extra) {
  char folder[] = "/tmp/dot11b-sgsim-test-XXXXXX";
  if (::mkdtemp(folder) == nullptr) {
    ADD_FAILURE() << "cannot create a temporary folder";
    return;
  }
  folder_ = folder;
  std::vector<std::string> args = {SGSIM_PATH, "--log", folder_ + "/commands.log", "--store", folder_ + "/store"};
  args.insert(args.end(), extra.begin(), extra.end());

  int out[2];
  if (::pipe(out) != 0) {
    ADD_FAILURE() << "pipe failed";
    return;
  }
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    ::close(out[0]);
    ::close(out[1]);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    std::_Exit(127);
  }
  ::close(out[1]);
  for (const std::string& line : readStartupLines(out[0])) {
    if (line.rfind("port ", 0) == 0) port_ = std::stoi(line.substr(5));
    if (line.rfind("pty ", 0) == 0) pty_ = line.substr(4);
    if (line == "ready") started_ = true;
  }
  ::close(out[0]);
}

SimProcess::~SimProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  if (!folder_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
}

std::string SimProcess::stored(const std::string& memory, const std::string& title) const {
  std::ifstream file(folder_ + "/store/" + memory + "/" + title, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

bool SimProcess::hasStored(const std::string& memory, const std::string& title) const {
  return std::filesystem::exists(folder_ + "/store/" + memory + "/" + title);
}

std::vector<std::string> SimProcess::logLines(std::size_t count, std::chrono::milliseconds wait) const {
  const auto giveUp = std::chrono::steady_clock::now() + wait;
  std::vector<std::string> lines;
  for (;;) {
    lines.clear();
    std::ifstream file(folder_ + "/commands.log");
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    if ((count > 0 && lines.size() >= count) || std::chrono::steady_clock::now() >= giveUp) return lines;
    std::this_thread::sleep_for(std::chrono::milliseconds(count > 0 ? 10 : 100));
  }
}

std::vector<std::string> SimProcess::logLinesUntil(const std::string& last) const {
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  // The error check after a command may follow it.
  const auto ended = [&last](const std::vector<std::string>& lines) {
    const std::vector<std::string> commands = withoutErrorQueries(lines);
    return !commands.empty() && commands.back() == last && (lines.back() == last || lines.back() == ":SYSTem:ERRor?");
  };
  std::vector<std::string> lines = logLines(0, std::chrono::milliseconds(0));
  while (!ended(lines) && std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    lines = logLines(0, std::chrono::milliseconds(0));
  }
  return lines;
}

std::vector<std::string> withoutErrorQueries(const std::vector<std::string>& lines) {
  std::vector<std::string> kept;
  for (const std::string& line : lines) {
    if (line != ":SYSTem:ERRor?") kept.push_back(line);
  }
  return kept;
}

}  // namespace instrument_test
