// SPDX-License-Identifier: GPL-3.0-or-later
// The Plot commands of the application window: each opens a plot window beside the main window with the
// last waveform quantised to 14 bits, and keeps the window's handle so that Exit closes it; Verify Frame
// decodes the last waveform with the built-in receiver, plots its spectrum against the mask and offers its
// frames to Wireshark.
#include <cmath>
#include <sstream>

#include "runtime/library.h"
#include "rx/verify/verification.h"
#include "settings/clock_text.h"
#include "settings/plot_settings.h"
#include "testbench/mask_inputs.h"
#include "toolkit/controls.h"
#include "toolkit/dialogs.h"
#include "windows/app_window.h"
#include "windows/receiver_test/receiver_test_dialog.h"
#include "windows/window_module.h"
#include "windows/wireshark_opening.h"

namespace dot11b::windows::app_window {

using rt::Value;
using rt::Values;

namespace {

// appInfo.Name and the time now, to whole seconds: "dot11b (08DEC2026 9:05:03)".
Value plotTitle() {
  std::vector<double> now = settings::clockNow().real();
  now.at(5) = std::floor(now.at(5));
  return Value::text(globalText("appInfo", "Name") + " (" + settings::clock2str(Value::row(std::move(now))) + ")");
}

Value quantisedWaveform() {
  return rt::callByName("ApplyDacRes", {rt::global("waveform"), Value::scalar(14)}, 1).at(0);
}

double sampleRate() { return globalNumber("SigGenSettings", "SamplingRate"); }
// Samples a chip of the current waveform: a receiver test's composite has its own rate.
double overSampling() {
  if (const auto composite = receiver_test_dialog::currentCompositeRate()) return *composite / 11e6;
  return globalNumber("parameters", "OverSampling");
}
double waveformLength() { return static_cast<double>(rt::global("waveform").numel()); }

// Opens the view by name with (owner, title, the rest...); a window that opened joins the client windows.
void openView(std::string_view routine, const Value& handles, Values rest) {
  Values in{Value::scalar(toolkit::handleIn(handles, "main")), plotTitle()};
  for (Value& v : rest) in.push_back(std::move(v));
  const Values out = rt::callByName(routine, in, 1);
  if (out.empty() || out[0].isEmpty()) return;
  Value& appInfo = rt::global("appInfo");
  std::vector<double> windows = appInfo.field("ClientWindows").real();
  windows.push_back(out[0].re(0));
  appInfo.setField("ClientWindows", Value::row(std::move(windows)));
}

// The answers of a plot's input dialog; nothing when it was cancelled.
std::optional<std::vector<std::string>> ask(const settings::PlotQuestion& q) {
  return toolkit::dialogs().inputs(q.title, q.prompts, q.defaults);
}

}  // namespace

void menuPlotSpectrum(toolkit::Handle, const Value& handles) {
  if (!checkWaveformReady(handles, "Plot")) return;
  openView("VX_PlotSpectrum", handles, {Value::scalar(sampleRate()), quantisedWaveform()});
}

void menuPlotWaterfall(toolkit::Handle, const Value& handles) {
  if (!checkWaveformReady(handles, "Plot")) return;
  const double slice = waveformLength() / sampleRate() / 200;
  openView("VX_PlotWaterfall", handles, {Value::scalar(sampleRate()), Value::scalar(slice), quantisedWaveform()});
}

void menuPlotIQTime(toolkit::Handle, const Value& handles) {
  if (!checkWaveformReady(handles, "Plot")) return;
  openView("VX_PlotIQTime", handles, {Value::scalar(sampleRate()), Value::scalar(0), quantisedWaveform()});
}

void menuPlotIQTimeSameAxes(toolkit::Handle, const Value& handles) {
  if (!checkWaveformReady(handles, "Plot")) return;
  openView("VX_PlotIQTime", handles, {Value::scalar(sampleRate()), Value::scalar(1), quantisedWaveform()});
}

void menuPlotEyeDiagram(toolkit::Handle, const Value& handles) {
  if (!checkWaveformReady(handles, "Plot")) return;
  const auto answers = ask(settings::eyeQuestion());
  if (!answers) return;
  const toolkit::BusyPointer busy(toolkit::handleIn(handles, "main"));
  const settings::EyeRequest eye = settings::eyeRequest(*answers, waveformLength(), overSampling(), sampleRate());
  openView("VX_PlotEyeDiagram", handles,
           {quantisedWaveform(), Value::scalar(eye.samplesPerTrace), Value::scalar(eye.period),
            Value::scalar(eye.delaySamples)});
}

void menuPlotScatterDiagram(toolkit::Handle, const Value& handles) {
  if (!checkWaveformReady(handles, "Plot")) return;
  const auto answers = ask(settings::scatterQuestion());
  if (!answers) return;
  const toolkit::BusyPointer busy(toolkit::handleIn(handles, "main"));
  const settings::ScatterRequest scatter = settings::scatterRequest(*answers, overSampling());
  openView("VX_PlotScatterDiagram", handles,
           {quantisedWaveform(), Value::scalar(overSampling()), Value::scalar(scatter.delaySamples),
            Value::scalar(scatter.traceOn)});
}

void menuPlotCCDF(toolkit::Handle, const Value& handles) {
  if (!checkWaveformReady(handles, "Plot")) return;
  openView("VX_PlotCCDF", handles, {quantisedWaveform()});
}

void menuPlotVerify(toolkit::Handle, const Value& handles) {
  if (!checkWaveformReady(handles, "Plot")) return;
  const Value& waveform = rt::global("waveform");
  ComplexRow samples(waveform.numel());
  for (std::size_t n = 0; n < samples.size(); ++n) samples[n] = {waveform.re(n), waveform.im(n)};
  const double carrier = globalNumber("SigGenSettings", "Frequency");
  const rx::Verification verification = rx::verifyCapture(samples, sampleRate(), carrier);
  std::ostringstream summary;
  rx::writeSummary(summary, verification);
  if (verification.mask) openView("VX_PlotMask", handles, testbench::maskPlotInputs(*verification.mask));
  if (toolkit::dialogs().question(summary.str(), "Verify Frame", {"OK", kOpenInWireshark}, "OK") == kOpenInWireshark)
    openInWireshark(verification, carrier, framesFileFor(globalText("configuration", "LastParameterFilename")));
}

}  // namespace dot11b::windows::app_window
