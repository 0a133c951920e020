// SPDX-License-Identifier: GPL-3.0-or-later
// The application window, offscreen: from the top entry to the main window shown (the splash window's
// minimum time left out), and Calculate of the largest frame from the window, through its controls.
#include <benchmark/benchmark.h>

#include "window_driver.h"

namespace {

using namespace bench;

void startToWindowShown(benchmark::State& state) {
  static Environment environment;
  for (auto _ : state) {
    if (mlfDot11b_c() != 0) state.SkipWithError(dot11b_last_error());
    state.PauseTiming();
    act("menuFileExit");
    dot11b_run_event_loop();
    state.ResumeTiming();
  }
}
BENCHMARK(startToWindowShown)->Unit(benchmark::kMillisecond)->UseRealTime();

void calculateLargestFrame(benchmark::State& state) {
  static Environment environment;
  if (mlfDot11b_c() != 0) state.SkipWithError(dot11b_last_error());
  chooseLargestFrame();
  for (auto _ : state) act("pbCalculate");
  act("menuFileExit");
  dot11b_run_event_loop();
}
BENCHMARK(calculateLargestFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
