#include "cli_runner.h"

#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace instrument_test {
namespace {

// Reads both pipes to their ends (a child blocked on one full pipe would otherwise never finish).
void drain(int out_fd, int err_fd, CliResult& result) {
  pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open = 2;
  while (open > 0) {
    if (::poll(fds, 2, -1) < 0) return;
    for (int k = 0; k < 2; ++k) {
      if (fds[k].fd < 0 || fds[k].revents == 0) continue;
      char buffer[4096];
      const ssize_t n = ::read(fds[k].fd, buffer, sizeof buffer);
      if (n > 0) {
        sinks[k]->append(buffer, static_cast<std::size_t>(n));
      } else {
        ::close(fds[k].fd);
        fds[k].fd = -1;
        --open;
      }
    }
  }
}

// Runs the tool with `input_fd` as its standard input.
CliResult run_with_input(const std::vector<std::string>& args, int input_fd) {
  int out[2], err[2];
  CliResult result;
  if (::pipe(out) != 0 || ::pipe(err) != 0) return result;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(input_fd, STDIN_FILENO);
    ::dup2(out[1], STDOUT_FILENO);
    ::dup2(err[1], STDERR_FILENO);
    for (const int fd : {input_fd, out[0], out[1], err[0], err[1]}) ::close(fd);
    std::vector<std::string> owned = {DOT11B_CLI};
    owned.insert(owned.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : owned) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    std::_Exit(127);
  }
  ::close(out[1]);
  ::close(err[1]);
  drain(out[0], err[0], result);
  int status = 0;
  ::waitpid(pid, &status, 0);
  result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace

CliResult run_cli(const std::vector<std::string>& args) {
  int in[2];
  if (::pipe(in) != 0) return {};
  ::close(in[1]);  // nothing to read: end of input at once
  CliResult result = run_with_input(args, in[0]);
  ::close(in[0]);
  return result;
}

CliResult run_cli_on_terminal(const std::vector<std::string>& args, const std::string& typed) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return {};
  const int terminal = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
  CliResult result;
  // The line waits in the terminal's input until the tool reads its answer.
  if (terminal >= 0 && ::write(master, typed.data(), typed.size()) == static_cast<ssize_t>(typed.size())) {
    result = run_with_input(args, terminal);
  }
  if (terminal >= 0) ::close(terminal);
  ::close(master);
  return result;
}

}  // namespace instrument_test
