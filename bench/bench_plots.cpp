// SPDX-License-Identifier: GPL-3.0-or-later
// Opening each view of the largest frame (2 174 040 samples) from the application window's Plot menu,
// offscreen: quantising, computing the view, drawing it and its first paint.
#include <benchmark/benchmark.h>

#include "window_driver.h"

namespace {

using namespace bench;

// The eye and scatter questions are answered with their defaults.
dot11b_array* answerWithDefaults(void*, const dot11b_dialog* dialog) {
  if (dialog->kind != DOT11B_DIALOG_INPUTS) return nullptr;
  dot11b_array* answers = dot11b_create_cell(1, dialog->item_count);
  for (size_t i = 0; i < dialog->item_count; ++i) {
    dot11b_array* text = dot11b_create_text(dialog->defaults[i]);
    dot11b_set_cell(answers, i, text);
    dot11b_free(text);
  }
  return answers;
}

void letEventsRun() {
  dot11b_array* none = dot11b_create_scalar(0);
  mlfPause(none);
  dot11b_free(none);
}

void closePlotWindows() {
  dot11b_array* tag = dot11b_create_text("VX_Close");
  dot11b_array* items = mlfFindobj(tag);
  for (size_t i = 0; i < dot11b_cols(items); ++i) {
    dot11b_array* h = dot11b_create_scalar(dot11b_real(items)[i]);
    mlfInvoke(h);
    dot11b_free(h);
  }
  dot11b_free(items);
  dot11b_free(tag);
  letEventsRun();
}

void openView(benchmark::State& state, const char* menuItem) {
  static Environment environment;
  dot11b_set_dialog_hook(answerWithDefaults, nullptr);
  if (mlfDot11b_c() != 0) state.SkipWithError(dot11b_last_error());
  chooseLargestFrame();
  act("pbCalculate");
  for (auto _ : state) {
    act(menuItem);
    letEventsRun();
    state.PauseTiming();
    closePlotWindows();
    state.ResumeTiming();
  }
  act("menuFileExit");
  dot11b_run_event_loop();
  dot11b_set_dialog_hook(nullptr, nullptr);
}

BENCHMARK_CAPTURE(openView, ccdf, "menuPlotCCDF")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(openView, spectrum, "menuPlotSpectrum")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(openView, iq, "menuPlotIQTime")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(openView, iqOverlay, "menuPlotIQTimeSameAxes")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(openView, eye, "menuPlotEyeDiagram")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(openView, scatter, "menuPlotScatterDiagram")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(openView, waterfall, "menuPlotWaterfall")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
