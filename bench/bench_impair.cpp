// SPDX-License-Identifier: GPL-3.0-or-later
// Frames per second of generate-and-impair for the start-value frame: the frame made and passed through
// white noise alone, and through every impairment at once (noise, carrier and clock offsets, I/Q
// imbalance, DC and a 100 ns multipath channel), each time with a new seed; and the noise's Gaussian numbers alone.
#include <benchmark/benchmark.h>

#include "bench_frames.h"
#include "channel/impairments.h"
#include "channel/random_draws.h"

namespace {

void generateAndImpair(benchmark::State& state, dot11b::channel::Impairments impairments) {
  const bench::BenchFrame f = bench::startValueFrame();
  const double rate = 11e6 * f.settings.oversamplingRate;
  for (auto _ : state) {
    dot11b::phy::Frame frame = dot11b::phy::generateFrame(f.psdu, f.settings);
    benchmark::DoNotOptimize(dot11b::channel::impair(std::move(frame.waveform), rate, frame.marker2, impairments));
    ++impairments.seed;
  }
  state.SetItemsProcessed(state.iterations());
}

void noiseOnly(benchmark::State& state) { generateAndImpair(state, {.snrDb = 10}); }

void everyImpairment(benchmark::State& state) {
  generateAndImpair(state, {.snrDb = 10, .cfoHz = 50e3, .phaseDeg = 30, .clockPpm = 20, .iqGainDb = 0.5,
                            .iqSkewDeg = 3, .dc = {0.01, -0.01}, .multipathRmsNs = 100});
}

// The Gaussian numbers alone, added to a row of a million samples.
void gaussianDraws(benchmark::State& state) {
  dot11b::ComplexRow row(1 << 20);
  std::uint64_t seed = 1;
  for (auto _ : state) {
    dot11b::channel::GaussianDraws(seed++, dot11b::channel::Stream::Noise).addTo(row.data(), row.size(), 1);
    benchmark::DoNotOptimize(row.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(row.size()));
}

}  // namespace

BENCHMARK(gaussianDraws)->Unit(benchmark::kMillisecond);
BENCHMARK(noiseOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(everyImpairment)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
