// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/receiver_test/receiver_test_dialog.h"

#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "runtime/binding.h"
#include "runtime/shortest_text.h"
#include "settings/clock_text.h"
#include "settings/number_entry.h"
#include "testbench/frame_sequence.h"
#include "testbench/generator_level.h"
#include "toolkit/controls.h"
#include "toolkit/dialogs.h"
#include "toolkit/figures.h"
#include "windows/radio_window.h"
#include "windows/window_module.h"

namespace dot11b::windows::receiver_test_dialog {

namespace {

using rt::Value;
using rt::Values;
using testbench::ReceiverTest;
using testbench::ReceiverTestPlan;

constexpr const char* kTitle = "Receiver Test";
constexpr std::string_view kFigureTag = "figReceiverTest";

struct TestEntry {
  ReceiverTest test;
  const char* label;
};
constexpr TestEntry kTests[] = {
    {ReceiverTest::kSensitivity, "Minimum input level sensitivity"},
    {ReceiverTest::kMaxInput, "Maximum input level"},
    {ReceiverTest::kAdjacentChannel, "Adjacent channel rejection"},
    {ReceiverTest::kCca, "Clear channel assessment (CCA)"},
};
struct RateEntry {
  double mbps;
  const char* label;
};
constexpr RateEntry kRates[] = {
    {1, "1 Mbit/s DBPSK"}, {2, "2 Mbit/s DQPSK"}, {5.5, "5.5 Mbit/s CCK"}, {11, "11 Mbit/s CCK"}};

// What the dialog holds between its callbacks and from one opening to the next: the plan chosen, the
// composite of the plan last composed, and what a composite made current replaced.
struct DialogState {
  ReceiverTestPlan plan = testbench::receiverTestPlan(ReceiverTest::kSensitivity, 11, 100);
  std::optional<ReceiverTestPlan> composedPlan;
  std::optional<testbench::Composite> composite;
  std::optional<double> rateBeforeComposite;  // the sample rate a current composite replaced
  double compositeRate = 0;
};

DialogState& state() {
  static DialogState s;
  return s;
}

// A number typed in a field; throws, naming the field, for anything else.
double numberIn(toolkit::Handle h, const std::string& field) {
  const std::string text = toolkit::Control(h).text();
  const settings::Entry entry(text);
  if (entry.numbers().size() != 1 || !std::isfinite(entry.numbers()[0]))
    throw std::invalid_argument(field + ": '" + text + "' is not a number");
  return entry.numbers()[0];
}

// The adjacent-channel test's interferer at this rate: its spacing and its level over the wanted signal.
ReceiverTestPlan adjacentChannelPlan(const ReceiverTestPlan& plan) {
  return testbench::receiverTestPlan(ReceiverTest::kAdjacentChannel, plan.rateMbps, plan.frames);
}

testbench::CompositionSettings compositionOf(const ReceiverTestPlan& plan) {
  return testbench::receiverTestComposition(plan, rt::global("parameters"));
}

// The plan after an edit, checked as far as it can be without composing it: a composite rate must hold
// the interferer, and an adjacent channel lie as far as the test asks.
void choose(const ReceiverTestPlan& plan) {
  if (plan.test == ReceiverTest::kAdjacentChannel && plan.interfererLevelDbm)
    testbench::receiverTestPlan(plan.test, plan.rateMbps, plan.frames, plan.channelSpacingHz);
  testbench::compositeRate(compositionOf(plan));
  state().plan = plan;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
  return text;
}

// "+34.56 dB".
std::string decibels(double db) { return (db >= 0 ? "+" : "") + rt::shortestText(std::round(100 * db) / 100) + " dB"; }

std::string amplitudeText() {
  const DialogState& s = state();
  if (!s.composite || s.composedPlan != s.plan)
    return "Compose to see the amplitude to set on the signal generator.";
  const testbench::Composite& c = *s.composite;
  const testbench::GeneratorLevel level = testbench::generatorLevel(c, s.plan.wantedLevelDbm);
  std::string text = "Amplitude to set: " + rt::shortestText(level.amplitudeDbm) + " dBm puts the wanted frames at " +
                     rt::shortestText(level.wantedDbm) + " dBm (the composite's mean power lies " +
                     decibels(testbench::instrumentLevelDbm(c, 0)) + " from theirs). " +
                     std::to_string(c.frame.waveform.size()) + " samples at " + rt::shortestText(c.sampleRate / 1e6) +
                     " MHz.";
  if (level.clamped) text += "\nThe signal generator sets -136 to 20 dBm: the test level is out of its reach.";
  return text;
}

void redraw(const Value& handles) {
  const toolkit::Window dialog(handles);
  const ReceiverTestPlan& plan = state().plan;
  for (std::size_t k = 0; k < std::size(kTests); ++k)
    if (kTests[k].test == plan.test) dialog["pmTest"].setValue(static_cast<double>(k + 1));
  for (std::size_t k = 0; k < std::size(kRates); ++k)
    if (kRates[k].mbps == plan.rateMbps) dialog["pmRate"].setValue(static_cast<double>(k + 1));
  dialog["txtFrames"].setText(std::to_string(plan.frames));
  dialog["txtWantedLevel"].setText(rt::shortestText(plan.wantedLevelDbm));
  const bool interferer = plan.interfererLevelDbm.has_value();
  dialog["chkInterferer"].setValue(interferer ? 1 : 0);
  dialog["txtInterfererOffset"].setEnabled(interferer);
  dialog["txtInterfererLevel"].setEnabled(interferer);
  const ReceiverTestPlan shown = interferer ? plan : adjacentChannelPlan(plan);
  dialog["txtInterfererOffset"].setText(rt::shortestText(shown.channelSpacingHz / 1e6));
  dialog["txtInterfererLevel"].setText(rt::shortestText(*shown.interfererLevelDbm - shown.wantedLevelDbm));
  dialog["lblPlan"].setText(joined(testbench::planLines(plan)));
  dialog["lblAmplitude"].setText(amplitudeText());
}

// Applies an edit of the plan; a refused one is told, and the dialog shows the plan as it was.
template <typename Edit>
void edit(const Value& handles, Edit&& change) {
  try {
    ReceiverTestPlan plan = state().plan;
    change(plan);
    choose(plan);
  } catch (const std::exception& e) {
    toolkit::dialogs().error(e.what(), kTitle);
  }
  redraw(handles);
}

// Composes the plan unless its composite is at hand; false, with the reason told, when it cannot be.
bool composed(const Value& handles) {
  DialogState& s = state();
  if (s.composite && s.composedPlan == s.plan) return true;
  try {
    const toolkit::BusyPointer busy(toolkit::handleIn(handles, kFigureTag));
    const testbench::CompositionSettings settings = compositionOf(s.plan);
    // A radio's own driver checks its rates; a signal generator's sample clock has a ceiling.
    if (!radio_window::onRadio()) testbench::checkSampleClock(testbench::compositeRate(settings));
    s.composite.reset();
    s.composite = testbench::compose(settings);
    s.composedPlan = s.plan;
  } catch (const std::exception& e) {
    toolkit::dialogs().error(e.what(), kTitle);
    return false;
  }
  return true;
}

// The composite becomes the waveform the window plots, saves and downloads, at its own sample rate, with
// the amplitude that puts the wanted frames at the test level.
void makeCurrent(const testbench::Composite& c) {
  DialogState& s = state();
  rt::global("waveform") = rt::fromComplex(c.frame.waveform);
  rt::global("markers") = rt::fromMarkerRows(c.frame.marker1, c.frame.marker2);
  Value& sigGen = rt::global("SigGenSettings");
  if (!s.rateBeforeComposite) s.rateBeforeComposite = sigGen.field("SamplingRate").scalarValue();
  s.compositeRate = c.sampleRate;
  sigGen.setField("SamplingRate", Value::scalar(c.sampleRate));
  sigGen.setField("Amplitude", Value::scalar(testbench::generatorLevel(c, s.plan.wantedLevelDbm).amplitudeDbm));
  // The waveform is current for the parameters as they stand: the plots ask for no recalculation.
  Value& appInfo = rt::global("appInfo");
  appInfo.setField("LastCalcTimeStamp", settings::clockNow());
  appInfo.setField("LastCaluclatedParameterSet", rt::global("parameters"));
}

}  // namespace

void initializeFigure(const Value& handles) {
  const toolkit::Window dialog(handles);
  std::vector<std::string> tests, rates;
  for (const TestEntry& t : kTests) tests.emplace_back(t.label);
  for (const RateEntry& r : kRates) rates.emplace_back(r.label);
  dialog["pmTest"].setItems(tests);
  dialog["pmRate"].setItems(rates);
  dialog["txtWantedLevel"].setToolTip("The wanted signal's mean power over its frames at the receiver's antenna "
                                      "connector.\nValid Range: -136 dBm to +20 dBm");
  dialog["txtInterfererOffset"].setToolTip("The interferer's carrier from the wanted signal's (negative: below).");
  dialog["txtInterfererLevel"].setToolTip("The interferer's mean power over its frames over the wanted signal's.");
  dialog["pbCompose"].setToolTip("Composes the test signal and shows the amplitude to set.");
  redraw(handles);
}

// The test and the rate set the level plan their clause gives.
void pmTest(toolkit::Handle h, const Value& handles) {
  const auto k = static_cast<std::size_t>(toolkit::Control(h).value()) - 1;
  if (k >= std::size(kTests)) return;
  edit(handles, [&](ReceiverTestPlan& plan) {
    plan = testbench::receiverTestPlan(kTests[k].test, plan.rateMbps, plan.frames);
  });
}

void pmRate(toolkit::Handle h, const Value& handles) {
  const auto k = static_cast<std::size_t>(toolkit::Control(h).value()) - 1;
  if (k >= std::size(kRates)) return;
  edit(handles, [&](ReceiverTestPlan& plan) {
    plan = testbench::receiverTestPlan(plan.test, kRates[k].mbps, plan.frames);
  });
}

void txtFrames(toolkit::Handle h, const Value& handles) {
  edit(handles, [&](ReceiverTestPlan& plan) {
    const double frames = numberIn(h, "Frames");
    if (frames != std::floor(frames) || frames < 1 || frames > static_cast<double>(testbench::kMaxSequenceFrames))
      throw std::invalid_argument("Frames: a whole number from 1 to " + std::to_string(testbench::kMaxSequenceFrames));
    plan.frames = static_cast<std::size_t>(frames);
  });
}

void txtWantedLevel(toolkit::Handle h, const Value& handles) {
  edit(handles, [&](ReceiverTestPlan& plan) { testbench::setWantedLevel(plan, numberIn(h, "Wanted level")); });
}

void chkInterferer(toolkit::Handle h, const Value& handles) {
  const bool on = toolkit::Control(h).value() != 0;
  edit(handles, [&](ReceiverTestPlan& plan) {
    if (!on) {
      plan.interfererLevelDbm.reset();
      plan.channelSpacingHz = 0;
      return;
    }
    const ReceiverTestPlan adjacent = adjacentChannelPlan(plan);
    plan.channelSpacingHz = adjacent.channelSpacingHz;
    plan.interfererLevelDbm = plan.wantedLevelDbm + *adjacent.interfererLevelDbm - adjacent.wantedLevelDbm;
  });
}

void txtInterfererOffset(toolkit::Handle h, const Value& handles) {
  edit(handles, [&](ReceiverTestPlan& plan) { plan.channelSpacingHz = numberIn(h, "Offset") * 1e6; });
}

void txtInterfererLevel(toolkit::Handle h, const Value& handles) {
  edit(handles, [&](ReceiverTestPlan& plan) {
    const double db = numberIn(h, "Level");
    if (std::abs(db) > testbench::kMaxRelativeLevelDb)
      throw std::invalid_argument("Level: the interferer lies at most 80 dB from the wanted signal");
    plan.interfererLevelDbm = plan.wantedLevelDbm + db;
  });
}

void pbCompose(toolkit::Handle, const Value& handles) {
  composed(handles);
  redraw(handles);
}

void pbOK(toolkit::Handle, const Value& handles) {
  if (!composed(handles)) return;
  DialogState& s = state();
  makeCurrent(*s.composite);
  // The window holds the samples now; the dialog's copy goes.
  s.composite.reset();
  s.composedPlan.reset();
  answerDialog(toolkit::handleIn(handles, kFigureTag), "OK");
}

void pbCancel(toolkit::Handle, const Value& handles) { answerDialog(toolkit::handleIn(handles, kFigureTag), "Cancel"); }

void leaveComposite() {
  DialogState& s = state();
  if (!s.rateBeforeComposite) return;
  Value& sigGen = rt::global("SigGenSettings");
  if (sigGen.field("SamplingRate").scalarValue() == s.compositeRate)
    sigGen.setField("SamplingRate", Value::scalar(*s.rateBeforeComposite));
  s.rateBeforeComposite.reset();
}

std::optional<double> currentCompositeRate() {
  if (!state().rateBeforeComposite) return std::nullopt;
  return state().compositeRate;
}

Values run(const Values& in, int) {
  const toolkit::Handle figure = toolkit::loadFigure("Dot11b_ReceiverTest", handleInput(in, 0));
  initializeFigure(toolkit::current().controlRecord(figure));
  const std::string answer = waitForAnswer(figure);
  if (toolkit::current().isValid(figure)) toolkit::current().close(figure);
  state().composite.reset();
  state().composedPlan.reset();
  return {Value::text(answer)};
}

const rt::WindowModule& module() {
  static const rt::WindowModule m = [] {
    rt::WindowModule w("Dot11b_ReceiverTest");
    w.add("InitializeFigure", 20, 1, 0, handlesRoutine(initializeFigure));
    addCallbacks(w,
                 {
                  {"pmTest_Callback", pmTest},
                  {"pmRate_Callback", pmRate},
                  {"txtFrames_Callback", txtFrames},
                  {"txtWantedLevel_Callback", txtWantedLevel},
                  {"chkInterferer_Callback", chkInterferer},
                  {"txtInterfererOffset_Callback", txtInterfererOffset},
                  {"txtInterfererLevel_Callback", txtInterfererLevel},
                  {"pbCompose_Callback", pbCompose},
                  {"pbOK_Callback", pbOK},
                  {"pbCancel_Callback", pbCancel},
                  {"close_Callback", pbCancel},
                 },
                 40, 10);
    return w;
  }();
  return m;
}

}  // namespace dot11b::windows::receiver_test_dialog
