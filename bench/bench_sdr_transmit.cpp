// SPDX-License-Identifier: GPL-3.0-or-later
// The transmit path into the loopback radio on one core (the process is held to CPU 0): the streaming
// loop, a waveform converted to the radio's format and written through SoapySDR, against twice the fastest
// rate of the radios the link serves (2 x 61.44 Msample/s), and the resampling of the largest frame to a
// HackRF's 20 Msample/s beside the frame's own calculation.
#include <benchmark/benchmark.h>
#include <sched.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "bench_frames.h"
#include "sdr/transmission.h"

namespace {

using namespace dot11b::sdr;

// A second of noise-like samples at 20 Msample/s would do as well: the conversion does not look at them.
const dot11b::ComplexRow& waveform() {
  static const dot11b::ComplexRow samples = [] {
    std::mt19937 random(1);
    std::uniform_real_distribution<double> uniform(-1, 1);
    dot11b::ComplexRow x(1 << 20);
    for (auto& s : x) s = {uniform(random), uniform(random)};
    return x;
  }();
  return samples;
}

void streamLoop(benchmark::State& state, SampleFormat format) {
  const double fullScale = format == SampleFormat::CS8 ? 128 : format == SampleFormat::CS16 ? 2048 : 1;
  Radio radio("driver=loopback,pace=0,format=" + std::string(formatName(format)));
  radio.setSampleRate(Direction::Transmit, 20e6);
  TxStream stream(radio, radio.streamFormat(Direction::Transmit));
  const std::atomic<bool> stop{false};
  NativeSamples native(format, waveform().size());
  for (auto _ : state) {
    std::size_t clipped = 0;
    toNative(waveform().data(), waveform().size(), 0.9 * fullScale, native, 0, clipped);
    benchmark::DoNotOptimize(transmit(stream, native, {}, stop));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(waveform().size()));
  state.counters["Msample/s"] =
      benchmark::Counter(static_cast<double>(waveform().size()) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["x_61.44M"] = benchmark::Counter(static_cast<double>(waveform().size()) / 61.44e6,
                                                  benchmark::Counter::kIsIterationInvariantRate);
}

const bench::BenchFrame& largest() {
  static const bench::BenchFrame frame = bench::largestFrame();
  return frame;
}

void largestFrameCalculation(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(dot11b::phy::generateFrame(largest().psdu, largest().settings, 1));
}

void largestFrameTo20M(benchmark::State& state) {
  const dot11b::ComplexRow frame = dot11b::phy::generateFrame(largest().psdu, largest().settings, 1).waveform;
  for (auto _ : state) benchmark::DoNotOptimize(prepareWaveform(frame, 99e6, 20e6, {SampleFormat::CS8, 128}, 1));
  state.counters["samples"] = static_cast<double>(frame.size());
}

}  // namespace

BENCHMARK_CAPTURE(streamLoop, CS8, SampleFormat::CS8)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(streamLoop, CS16, SampleFormat::CS16)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(streamLoop, CF32, SampleFormat::CF32)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(largestFrameCalculation)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(largestFrameTo20M)->Unit(benchmark::kMillisecond)->UseRealTime();

// Held to one core, and to the loopback radio alone: no module of the system is loaded.
int main(int argc, char** argv) {
  cpu_set_t one;
  CPU_ZERO(&one);
  CPU_SET(0, &one);
  sched_setaffinity(0, sizeof one, &one);
  const std::filesystem::path root = std::filesystem::temp_directory_path() / "dot11b-bench-empty-soapy-root";
  std::filesystem::create_directories(root);
  setenv("SOAPY_SDR_ROOT", root.c_str(), 1);
  setenv("SOAPY_SDR_PLUGIN_PATH", LOOPBACK_RADIO_DIR, 1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
