// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_runner.h"

#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace instrument_test {
namespace {

// Runs the tool with `inputFd` as its standard input.
CliResult runWithInput(const std::vector<std::string>& args, int inputFd) {
  CliResult result;
  int out = -1, err = -1;
  const pid_t pid = startCli(args, inputFd, out, err);
  if (pid < 0) return result;
  CliOutput output(out, err);
  while (output.readSome(-1, result.out, result.err)) {
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace

CliOutput::CliOutput(int outFd, int errFd) : fds_{{outFd, POLLIN, 0}, {errFd, POLLIN, 0}} {}

CliOutput::~CliOutput() {
  for (const pollfd& fd : fds_)
    if (fd.fd >= 0) ::close(fd.fd);
}

bool CliOutput::readSome(int timeoutMs, std::string& out, std::string& err) {
  if (fds_[0].fd < 0 && fds_[1].fd < 0) return false;
  if (::poll(fds_, 2, timeoutMs) < 0) return false;
  std::string* sinks[2] = {&out, &err};
  for (int k = 0; k < 2; ++k) {
    if (fds_[k].fd < 0 || fds_[k].revents == 0) continue;
    char buffer[4096];
    const ssize_t n = ::read(fds_[k].fd, buffer, sizeof buffer);
    if (n > 0) {
      sinks[k]->append(buffer, static_cast<std::size_t>(n));
    } else {
      ::close(fds_[k].fd);
      fds_[k].fd = -1;
    }
  }
  return fds_[0].fd >= 0 || fds_[1].fd >= 0;
}

int startCli(const std::vector<std::string>& args, int inputFd, int& out, int& err) {
  int outPipe[2], errPipe[2];
  if (::pipe(outPipe) != 0 || ::pipe(errPipe) != 0) return -1;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(inputFd, STDIN_FILENO);
    ::dup2(outPipe[1], STDOUT_FILENO);
    ::dup2(errPipe[1], STDERR_FILENO);
    for (const int fd : {inputFd, outPipe[0], outPipe[1], errPipe[0], errPipe[1]}) ::close(fd);
    std::vector<std::string> owned = {DOT11B_CLI};
    owned.insert(owned.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : owned) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    std::_Exit(127);
  }
  ::close(outPipe[1]);
  ::close(errPipe[1]);
  out = outPipe[0];
  err = errPipe[0];
  return pid;
}

CliResult runCli(const std::vector<std::string>& args) {
  int in[2];
  if (::pipe(in) != 0) return {};
  ::close(in[1]);  // nothing to read: end of input at once
  CliResult result = runWithInput(args, in[0]);
  ::close(in[0]);
  return result;
}

CliResult runCliOnTerminal(const std::vector<std::string>& args, const std::string& typed) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return {};
  const int terminal = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
  CliResult result;
  // The line waits in the terminal's input until the tool reads its answer.
  if (terminal >= 0 && ::write(master, typed.data(), typed.size()) == static_cast<ssize_t>(typed.size())) {
    result = runWithInput(args, terminal);
  }
  if (terminal >= 0) ::close(terminal);
  ::close(master);
  return result;
}

}  // namespace instrument_test
