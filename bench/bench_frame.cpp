// Speed of the frame generator for the start-value frame and for the largest frame the panel allows.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "mac/mac_header.h"
#include "mac/payload.h"
#include "phy/fft_plan.h"
#include "phy/frame.h"

namespace {

using dot11b::Bits;
using dot11b::phy::FrameSettings;

// Times the frame and reports its number of samples.
void measureFrame(benchmark::State& state, const Bits& psdu, const FrameSettings& s) {
  for (auto _ : state) benchmark::DoNotOptimize(dot11b::phy::generateFrame(psdu, s));
  state.counters["samples"] = static_cast<double>(dot11b::phy::generateFrame(psdu, s).waveform.size());
}

// 11 Mbit/s CCK, long preamble, 1024 zero octets, 4 samples per chip, 2 us linear ramps, 100 us idle,
// Gaussian filter BT 0.5 over 6 chips.
void startValueFrame(benchmark::State& state) {
  dot11b::mac::PayloadSettings payload;
  payload.dataSourceType = 1;
  payload.dataLength = 1024;
  const Bits psdu = dot11b::mac::generatePayload(payload);
  FrameSettings s;
  s.dataRate = 11;
  s.highRateMod = 0;
  s.preambleType = 0;
  s.scramblerActive = 1;
  s.oversamplingRate = 4;
  s.rampType = 1;
  s.rampLength = 88;
  s.idleSamples = 4400;
  s.filterType = 1;
  s.filterFactor = 0.5;
  s.filterTaps = 6 * 4;
  measureFrame(state, psdu, s);
}

// 2312 PN9 octets behind the 30-octet MAC header and before the FCS at 1 Mbit/s, long preamble, 9 samples
// per chip, root-raised-cosine filter over 1000 chips, 1000 us ramps and 1000 us idle interval.
void largestFrame(benchmark::State& state) {
  dot11b::mac::PayloadSettings payload;
  payload.dataSourceType = 5;
  payload.dataLength = 2312;
  payload.macHeaderActive = true;
  payload.macHeaderBits = dot11b::mac::defaultMacHeader().bitStream;
  payload.fcsActive = true;
  const Bits psdu = dot11b::mac::generatePayload(payload);
  FrameSettings s;
  s.dataRate = 1;
  s.preambleType = 0;
  s.scramblerActive = 1;
  s.oversamplingRate = 9;
  s.rampType = 1;
  s.rampLength = 99000;
  s.idleSamples = 99000;
  s.filterType = 2;
  s.filterFactor = 0.5;
  s.filterTaps = 1000 * 9;
  measureFrame(state, psdu, s);
}

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
