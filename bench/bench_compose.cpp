// SPDX-License-Identifier: GPL-3.0-or-later
// The composer against the generator, in one run: the adjacent-channel receiver test of 100 frames
// (1024-octet PSDUs at 11 Mbit/s with an interferer 25 MHz up and 35 dB above, composed at 99 MHz) beside
// the 100 wanted frames alone as 'dot11b generate' makes them (44 MHz). Items are output samples.
// Instructions per sample come from callgrind: bench/compose_instructions.sh.
#include <benchmark/benchmark.h>

#include "settings/start_values.h"
#include "testbench/receiver_tests.h"
#include "testbench/signal_composer.h"

namespace {

using namespace dot11b::testbench;

CompositionSettings adjacentChannelTest() {
  return receiverTestComposition(receiverTestPlan(ReceiverTest::kAdjacentChannel, 11, 100),
                                 dot11b::settings::initialParameters());
}

void generateWantedFrames(benchmark::State& state) {
  const CompositionSettings test = adjacentChannelTest();
  std::size_t samples = 0;
  for (auto _ : state) {
    const dot11b::phy::Frame frame = calculateSignal(test.wanted);
    samples += frame.waveform.size();
    benchmark::DoNotOptimize(frame.waveform.data());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(samples));
  state.counters["samples"] = static_cast<double>(samples) / static_cast<double>(state.iterations());
}

void composeAdjacentChannelTest(benchmark::State& state) {
  const CompositionSettings test = adjacentChannelTest();
  std::size_t samples = 0;
  for (auto _ : state) {
    const Composite c = compose(test);
    samples += c.frame.waveform.size();
    benchmark::DoNotOptimize(c.frame.waveform.data());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(samples));
  state.counters["samples"] = static_cast<double>(samples) / static_cast<double>(state.iterations());
}

}  // namespace

BENCHMARK(generateWantedFrames)->Unit(benchmark::kMillisecond);
BENCHMARK(composeAdjacentChannelTest)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
