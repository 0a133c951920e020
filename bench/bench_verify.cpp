// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the receiver: the largest frame the panel allows (2312 PN9 octets with MAC header and FCS at
// 1 Mbit/s, 9 samples a chip, root raised cosine over 1000 chips, 1000 us ramps and idle) decoded from
// its 99 Msample/s waveform, and the start-value frame.
#include <benchmark/benchmark.h>

#include "bench_frames.h"
#include "rx/receiver.h"

namespace {

void receive(benchmark::State& state, const bench::BenchFrame& f) {
  const dot11b::ComplexRow waveform = dot11b::phy::generateFrame(f.psdu, f.settings).waveform;
  for (auto _ : state) {
    const auto received = dot11b::rx::receiveFrames(waveform, 11e6 * f.settings.oversamplingRate);
    if (received.size() != 1 || !received.front().header.crcOk) state.SkipWithError("the frame did not verify");
  }
  state.counters["samples"] = static_cast<double>(waveform.size());
}

void largestFrame(benchmark::State& state) { receive(state, bench::largestFrame()); }
void startValueFrame(benchmark::State& state) { receive(state, bench::startValueFrame()); }

}  // namespace

BENCHMARK(largestFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(startValueFrame)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
