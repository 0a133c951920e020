// SPDX-License-Identifier: GPL-3.0-or-later
// Whole commands as a user runs them, each a new process: 'dot11b generate' of the largest and of the
// start-value frame, 'dot11b plot' of the largest frame's views, 'dot11b --help' (process start and
// library loading alone), the largest frame's bytes written and synced alone (the floor under its
// generate), and the numpy/scipy reference that filters as many chips the same way and writes them. Peak
// resident size and minor page faults of the child are reported beside the time.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "child_process.h"

namespace {

const std::string kOut = "/tmp/dot11b-bench-command.cf64";

void runCommand(benchmark::State& state, const std::vector<std::string>& argv) {
  // The files the benchmark before wrote reach the disk first: the commands save with fsync, which would
  // otherwise wait for them too.
  ::sync();
  bench::ChildUsage usage;
  for (auto _ : state) {
    if (!bench::runChild(argv, usage)) {
      state.SkipWithError(("failed: " + argv[0]).c_str());
      return;
    }
  }
  state.counters["maxRSS_MiB"] = usage.maxResidentKb / 1024;
  state.counters["minflt"] = usage.minorFaults;
}

// A generate command, with its peak resident size over the size of the file it wrote.
void runGenerate(benchmark::State& state, const std::vector<std::string>& argv) {
  runCommand(state, argv);
  struct stat written {};
  if (::stat(kOut.c_str(), &written) == 0 && written.st_size > 0) {
    state.counters["RSS_per_output"] = state.counters["maxRSS_MiB"] * 1024 * 1024 / static_cast<double>(written.st_size);
  }
}

// 2312 PN9 octets with MAC header and FCS at 1 Mbit/s, long preamble, oversampling 9, root raised cosine
// over 1000 symbols, 1000 us ramps and idle: 2 174 040 samples (241 560 chips).
std::vector<std::string> largestFrameCommand(std::vector<std::string> argv) {
  for (const char* set : {"dataRate=1", "OverSampling=9", "FilterType=2", "FilterTaps=1000", "rampLength=99000",
                          "idleSamples=99000", "dataSourceType=5", "dataLength=2312", "MACheader.Active=1",
                          "MACfcs.Active=1"}) {
    argv.insert(argv.end(), {"--set", set});
  }
  return argv;
}

std::vector<std::string> largestFrame() {
  std::vector<std::string> argv = largestFrameCommand({DOT11B_CLI, "generate"});
  argv.insert(argv.end(), {"--out", kOut});
  return argv;
}

// A view of the largest frame drawn into a PNG file of the command's default size.
void plotLargestFrame(benchmark::State& state, const char* view) {
  std::vector<std::string> argv = largestFrameCommand({DOT11B_CLI, "plot", view});
  argv.insert(argv.end(), {"--png", "/tmp/dot11b-bench-command.png"});
  runCommand(state, argv);
}

void generateLargestFrame(benchmark::State& state) { runGenerate(state, largestFrame()); }

// The floor under generating the largest frame: its file's bytes, already in memory, written to a new file
// and synced, as generate saves.
void writeLargestFrameBytes(benchmark::State& state) {
  std::ifstream in(kOut, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.empty()) {
    state.SkipWithError("no file from generateLargestFrame to write again");
    return;
  }
  const std::string copy = kOut + ".copy";
  ::sync();
  for (auto _ : state) {
    const int fd = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool written = fd >= 0;
    for (std::size_t done = 0; written && done < bytes.size();) {
      const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
      written = n > 0;
      done += written ? static_cast<std::size_t>(n) : 0;
    }
    written = written && ::fsync(fd) == 0;
    if (fd >= 0) ::close(fd);
    if (!written) {
      state.SkipWithError("could not write the copy");
      return;
    }
  }
  ::unlink(copy.c_str());
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
void numpyReferenceLargestFrame(benchmark::State& state) {
  runCommand(state, {"/usr/bin/python3", REFERENCE_SCRIPT, "241560", "9", "1000", kOut});
}
void generateStartValueFrame(benchmark::State& state) { runGenerate(state, {DOT11B_CLI, "generate", "--out", kOut}); }
void helpOnly(benchmark::State& state) { runCommand(state, {DOT11B_CLI, "--help"}); }

BENCHMARK(generateLargestFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(writeLargestFrameBytes)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK_CAPTURE(plotLargestFrame, eye, "eye")->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK_CAPTURE(plotLargestFrame, scatter, "scatter")->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK_CAPTURE(plotLargestFrame, spectrum, "spectrum")->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(numpyReferenceLargestFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(generateStartValueFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1);
BENCHMARK(helpOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1);

}  // namespace

BENCHMARK_MAIN();
