// SPDX-License-Identifier: GPL-3.0-or-later
// Transfer of the largest frame (about 1.2 M samples) to the signal-generator simulator over
// loopback TCP, through the instrument I/O module as the application loads it; and the encoding
// of that frame alone, to tell encoding from transfer.
#include <benchmark/benchmark.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "instrument/io/download_payload.h"
#include "instrument/io/module_loader.h"

namespace {

constexpr std::size_t kLargestFrameSamples = 1'200'000;

struct Frame {
  std::vector<double> i, q;
  std::vector<uint8_t> marker1, marker2;
};

const Frame& largestFrame() {
  static const Frame frame = [] {
    Frame f;
    for (std::size_t k = 0; k < kLargestFrameSamples; ++k) {
      f.i.push_back(std::cos(0.001 * static_cast<double>(k)));
      f.q.push_back(std::sin(0.0013 * static_cast<double>(k)));
      f.marker1.push_back(k < 1000 ? 1 : 0);
      f.marker2.push_back(k % 2 == 0 ? 1 : 0);
    }
    return f;
  }();
  return frame;
}

instrio_arguments frameArguments(const Frame& f) {
  instrio_arguments a{};
  a.i_samples = f.i.data();
  a.q_samples = f.q.data();
  a.sample_count = f.i.size();
  a.marker1 = f.marker1.data();
  a.marker2 = f.marker2.data();
  a.title = "dot11b";
  a.normalization = "norm";
  a.scale = 1.0;
  return a;
}

// The simulator as a child process on a free loopback port.
class Simulator {
 public:
  Simulator() {
    int out[2];
    if (::pipe(out) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(out[1], STDOUT_FILENO);
      ::close(out[0]);
      ::close(out[1]);
      ::execl(SGSIM_PATH, SGSIM_PATH, "--port", "0", static_cast<char*>(nullptr));
      std::_Exit(127);
    }
    ::close(out[1]);
    FILE* lines = ::fdopen(out[0], "r");
    char line[256];
    while (std::fgets(line, sizeof line, lines) != nullptr && std::string(line) != "ready\n") {
      std::sscanf(line, "port %d", &port_);
    }
    std::fclose(lines);
  }
  ~Simulator() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  int port() const { return port_; }

 private:
  pid_t pid_ = -1;
  int port_ = -1;
};

void encodeLargestFrame(benchmark::State& state) {
  const Frame& f = largestFrame();
  dot11b::instrio::DownloadRequest request;
  request.i = f.i.data();
  request.q = f.q.data();
  request.sampleCount = f.i.size();
  request.marker1 = f.marker1.data();
  request.marker2 = f.marker2.data();
  request.title = "dot11b";
  for (auto _ : state) benchmark::DoNotOptimize(dot11b::instrio::buildDownloadPayload(request));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.i.size() * 5));
}
BENCHMARK(encodeLargestFrame)->Unit(benchmark::kMillisecond);

void downloadLargestFrameOverLoopback(benchmark::State& state) {
  const Simulator simulator;
  if (simulator.port() < 0) {
    state.SkipWithError("dot11b-sgsim did not start");
    return;
  }
  const dot11b::instrio::InstrioModule module(INSTRIO_MODULE_PATH);
  const std::string address = "127.0.0.1:" + std::to_string(simulator.port());
  instrio_connection connection{};
  connection.abi_version = INSTRIO_ABI_VERSION;
  connection.type = "TCPIP";
  connection.tcpip_address = address.c_str();
  const instrio_arguments arguments = frameArguments(largestFrame());
  for (auto _ : state) {
    const auto reply = module.execute(INSTRIO_DOWNLOAD, connection, &arguments);
    if (reply.status != INSTRIO_OK) {
      state.SkipWithError(reply.text.c_str());
      break;
    }
  }
  // I/Q (4 bytes) and marker (1 byte) per sample.
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kLargestFrameSamples * 5));
}
BENCHMARK(downloadLargestFrameOverLoopback)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
