// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the frame generator for the start-value frame and for the largest frame the panel allows.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "bench_frames.h"
#include "phy/fft_plan.h"

namespace {

// Times the frame and reports its number of samples.
void measureFrame(benchmark::State& state, const bench::BenchFrame& f) {
  for (auto _ : state) benchmark::DoNotOptimize(dot11b::phy::generateFrame(f.psdu, f.settings));
  state.counters["samples"] = static_cast<double>(dot11b::phy::generateFrame(f.psdu, f.settings).waveform.size());
}

void startValueFrame(benchmark::State& state) { measureFrame(state, bench::startValueFrame()); }
void largestFrame(benchmark::State& state) { measureFrame(state, bench::largestFrame()); }

// Planning against executing the block transforms of the largest frame (4000 points): FFTW_ESTIMATE
// plans without running anything, FFTW_MEASURE times candidate plans first.
void planTransform(benchmark::State& state, unsigned flags) {
  const int points = 4000;
  dot11b::phy::FftwBuffer from(points), to(points);
  for (auto _ : state) {
    const dot11b::phy::FftPlan plan("bench", [&] {
      return fftw_plan_dft_1d(points, dot11b::phy::asFftw(from.data()), dot11b::phy::asFftw(to.data()), FFTW_FORWARD,
                              flags);
    });
    benchmark::DoNotOptimize(plan.plan());
  }
}
void planEstimate(benchmark::State& state) { planTransform(state, FFTW_ESTIMATE); }
void planMeasure(benchmark::State& state) { planTransform(state, FFTW_MEASURE); }

// One block transform, as each of the largest frame's 10 x 79 transforms runs.
void executeTransform(benchmark::State& state) {
  const int points = 4000;
  dot11b::phy::FftwBuffer from(points), to(points);
  std::fill(from.data(), from.data() + points, std::complex<double>(0.5, -0.25));
  const dot11b::phy::FftPlan plan("bench", [&] {
    return fftw_plan_dft_1d(points, dot11b::phy::asFftw(from.data()), dot11b::phy::asFftw(to.data()), FFTW_FORWARD,
                            static_cast<unsigned>(state.range(0)));
  });
  for (auto _ : state) fftw_execute(plan.plan());
}

}  // namespace

BENCHMARK(startValueFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(largestFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(planEstimate)->Unit(benchmark::kMicrosecond);
BENCHMARK(planMeasure)->Unit(benchmark::kMicrosecond)->Iterations(3);
BENCHMARK(executeTransform)->Unit(benchmark::kMicrosecond)->Arg(FFTW_ESTIMATE)->Arg(FFTW_MEASURE);

BENCHMARK_MAIN();
