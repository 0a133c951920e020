// SPDX-License-Identifier: GPL-3.0-or-later
// 'dot11b verify' of long captures as a user runs it, a new process on one core (taskset -c 0): the
// signal's duration over the wall time ("realtime", 1 or more keeps up with the signal), beside the peak
// resident size and the minor page faults of the process. Captures: sequences of 11 Mbit/s CCK data frames
// of 1500 octets (20 and 200 frames) and of 1 Mbit/s DBPSK (50 frames) at 22 Msample/s, the 200 CCK frames
// at 44 Msample/s (the generator's default) and resampled to 20 Msample/s (an SDR's rate), and noise alone.
// They are written to /tmp once. With DOT11B_BENCH_CALLGRIND set, each capture is also verified once under
// valgrind's callgrind and "instr_per_sample" reports the instructions the whole command executed over the
// capture's samples: a measure of the work that holds on any machine, where the real-time factor follows
// the machine's clock (callgrind takes a minute or so for each capture).
#include <benchmark/benchmark.h>

#include <complex>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "child_process.h"
#include "rx/stream/resample.h"

namespace {

using Samples = std::vector<std::complex<double>>;

const std::string kFolder = "/tmp/dot11b-bench-verify";

std::string path(const std::string& name) { return kFolder + "/" + name + ".cf64"; }

Samples readCf64(const std::string& file) {
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  Samples samples(static_cast<std::size_t>(in.tellg()) / sizeof(std::complex<double>));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size() * sizeof(samples[0])));
  return samples;
}

void writeCf64(const std::string& file, const Samples& samples) {
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(samples.data()), static_cast<std::streamsize>(samples.size() * sizeof(samples[0])));
}

// A sequence of `frames` data frames at 11 MHz x `overSampling`, made once.
bool sequence(const std::string& name, int frames, const char* dataRate, const char* overSampling = "2") {
  if (std::filesystem::exists(path(name))) return true;
  std::filesystem::create_directories(kFolder);
  bench::ChildUsage ignored;
  return bench::runChild({DOT11B_CLI, "generate", "--frames", std::to_string(frames), "--template", "data", "--set",
                          std::string("dataRate=") + dataRate, "--set", std::string("OverSampling=") + overSampling, "--set", "dataLength=1500",
                          "--set", "dataSourceType=5", "--out", path(name)},
                         ignored);
}

bool makeCaptures() {
  static const bool made = [] {
    if (!sequence("cck20", 20, "11") || !sequence("cck200", 200, "11") || !sequence("dbpsk50", 50, "1") ||
        !sequence("cck200_44M", 200, "11", "4"))
      return false;
    if (!std::filesystem::exists(path("cck200_20M")))
      writeCf64(path("cck200_20M"), dot11b::rx::resample(readCf64(path("cck200")), 22e6, 20e6));
    if (!std::filesystem::exists(path("noise"))) {
      std::mt19937 random(1);
      std::normal_distribution<double> gauss(0, 0.05);
      Samples noise(static_cast<std::size_t>(0.3 * 22e6));
      for (auto& s : noise) s = {gauss(random), gauss(random)};
      writeCf64(path("noise"), noise);
    }
    return true;
  }();
  return made;
}

// The instructions `dot11b verify` of the capture executes under callgrind (0 when it could not run).
double callgrindInstructions(const std::string& name, double rate, int expectedStatus) {
  const std::string log = kFolder + "/" + name + ".callgrind.log";
  bench::ChildUsage ignored;
  if (!bench::runChild({"/usr/bin/valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null", "--log-file=" + log,
                        DOT11B_CLI, "verify", path(name), "--rate", std::to_string(rate)},
                       ignored, expectedStatus))
    return 0;
  std::ifstream in(log);
  for (std::string line; std::getline(in, line);) {
    const std::size_t at = line.find("Collected : ");
    if (at != std::string::npos) return std::stod(line.substr(at + 12));
  }
  return 0;
}

// `name` at `rate` [Hz]; verify exits 1 when it finds no frame (noise alone), 0 when every frame verifies.
void verify(benchmark::State& state, const std::string& name, double rate, int expectedStatus) {
  if (!makeCaptures()) {
    state.SkipWithError("the captures could not be made");
    return;
  }
  const double samples = static_cast<double>(std::filesystem::file_size(path(name))) / sizeof(std::complex<double>);
  const double seconds = samples / rate;
  bench::ChildUsage usage;
  for (auto _ : state) {
    if (!bench::runChild({"/usr/bin/taskset", "-c", "0", DOT11B_CLI, "verify", path(name), "--rate", std::to_string(rate)},
                         usage, expectedStatus)) {
      state.SkipWithError(("dot11b verify failed on " + name).c_str());
      return;
    }
  }
  state.counters["realtime"] = benchmark::Counter(seconds, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["signal_ms"] = seconds * 1e3;
  state.counters["maxRSS_MiB"] = usage.maxResidentKb / 1024;
  state.counters["minflt"] = usage.minorFaults;
  if (std::getenv("DOT11B_BENCH_CALLGRIND") != nullptr)
    state.counters["instr_per_sample"] = callgrindInstructions(name, rate, expectedStatus) / samples;
}

}  // namespace

BENCHMARK_CAPTURE(verify, cck20_22M, "cck20", 22e6, 0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(verify, cck200_22M, "cck200", 22e6, 0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(verify, dbpsk50_22M, "dbpsk50", 22e6, 0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(verify, cck200_44M, "cck200_44M", 44e6, 0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(verify, cck200_20M, "cck200_20M", 20e6, 0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(verify, noise_22M, "noise", 22e6, 1)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
