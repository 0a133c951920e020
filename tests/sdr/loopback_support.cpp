// SPDX-License-Identifier: GPL-3.0-or-later
#include "loopback_support.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

#include "../instrument/cli_runner.h"

namespace sdr_test {

Folder::Folder() {
  char name[] = "/tmp/dot11b-sdr-XXXXXX";
  path_ = ::mkdtemp(name) ? name : "/tmp";
}

Folder::~Folder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

dot11b::ComplexRow readComplex(const std::string& path, bool doubles) {
  std::ifstream in(path, std::ios::binary);
  dot11b::ComplexRow samples;
  if (doubles) {
    for (double v[2]; in.read(reinterpret_cast<char*>(v), sizeof v);) samples.emplace_back(v[0], v[1]);
  } else {
    for (float v[2]; in.read(reinterpret_cast<char*>(v), sizeof v);) samples.emplace_back(v[0], v[1]);
  }
  return samples;
}

void writeCf32(const std::string& path, const dot11b::ComplexRow& samples) {
  std::ofstream out(path, std::ios::binary);
  for (const auto& s : samples) {
    const float v[2] = {static_cast<float>(s.real()), static_cast<float>(s.imag())};
    out.write(reinterpret_cast<const char*>(v), sizeof v);
  }
}

std::map<std::string, std::string> storedSettings(const std::string& store) {
  std::map<std::string, std::string> settings;
  std::ifstream in(store + ".txt");
  for (std::string line; std::getline(in, line);)
    if (const auto equals = line.find('='); equals != std::string::npos)
      settings[line.substr(0, equals)] = line.substr(equals + 1);
  return settings;
}

SignalledRun runUntilSignal(const std::vector<std::string>& args, const std::string& ready, double afterReady,
                            int signal) {
  SignalledRun run;
  int in[2];
  if (::pipe(in) != 0) return run;
  ::close(in[1]);  // nothing to read: end of input at once
  int outFd = -1, errFd = -1;
  const pid_t pid = instrument_test::startCli(args, in[0], outFd, errFd);
  ::close(in[0]);
  if (pid < 0) return run;
  using Clock = std::chrono::steady_clock;
  const auto giveUp = Clock::now() + std::chrono::seconds(10);
  std::optional<Clock::time_point> signalAt, signalled;
  {
    instrument_test::CliOutput output(outFd, errFd);
    while (Clock::now() < giveUp && output.readSome(5, run.out, run.err)) {
      if (!signalAt && (run.out.find(ready) != std::string::npos || run.err.find(ready) != std::string::npos))
        signalAt = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(afterReady));
      if (signalAt && !signalled && Clock::now() >= *signalAt) {
        ::kill(pid, signal);
        signalled = Clock::now();
      }
    }
  }
  int status = 0;
  pid_t ended = 0;
  while ((ended = ::waitpid(pid, &status, WNOHANG)) == 0 && Clock::now() < giveUp)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  if (ended == 0) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return run;
  }
  if (signalled) run.stopSeconds = std::chrono::duration<double>(Clock::now() - *signalled).count();
  run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace sdr_test
