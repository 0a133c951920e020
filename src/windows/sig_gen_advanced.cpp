// SPDX-License-Identifier: GPL-3.0-or-later
// The advanced signal generator settings dialog. It edits the working copy newSettings and is loaded
// once, shown for each run and hidden again after OK or Cancel.
#include <cmath>

#include "runtime/library.h"
#include "runtime/number_text.h"
#include "settings/number_entry.h"
#include "toolkit/controls.h"
#include "toolkit/figures.h"
#include "windows/field_text.h"
#include "windows/radio_window.h"
#include "windows/sig_gen_panels.h"
#include "windows/window_module.h"

namespace dot11b::windows::sig_gen_advanced {

namespace {

using rt::Value;
using rt::Values;

Value& settings() { return rt::global("newSettings"); }
double setting(std::string_view field) { return globalNumber("newSettings", field); }
void store(std::string_view field, double x) { setGlobalNumber("newSettings", field, x); }

void storeAnswer(const Value& handles, std::string_view answer) {
  answerDialog(toolkit::handleIn(handles, "figAdvSettings"), answer);
}

double entryValue(toolkit::Handle h, double upper, double lower, double (*round)(double)) {
  settings::Entry e(toolkit::Control(h).text());
  if (round != nullptr) e.map(round);
  return e.atMost(upper).atLeast(lower).value();
}

double toHundredths(double x) { return std::round(100 * x) / 100; }
double toWhole(double x) { return std::round(x); }

void txtSamplingRate(toolkit::Handle, const Value& handles) { updateSamplingRate(handles); }

// The sampling rate a text gives in a unit of 10^exponent Hz, converted and limited.
double samplingRateOf(std::string_view text, int exponent) { return entryInUnit(text, exponent, 1, 100000000); }

void txtScaling(toolkit::Handle h, const Value& handles) {
  store("Scaling", entryValue(h, 100, 1, toHundredths));
  redrawAll(handles);
}

void txtModAtten(toolkit::Handle h, const Value& handles) {
  store("ModAtten", entryValue(h, 40, 0, toWhole));
  redrawAll(handles);
}

// The list and check box callbacks store the control's value in their field.
template <const char* Field>
void storeValue(toolkit::Handle h, const Value&) {
  store(Field, toolkit::Control(h).value());
}
constexpr char kBBfilter[] = "BBfilter";
constexpr char kRFblanking[] = "RFblanking";
constexpr char kALC[] = "ALC";
constexpr char kArbRefSource[] = "ArbRefSource";
constexpr char kMarkerPolarity[] = "MarkerPolarity";

void pbOK(toolkit::Handle, const Value& handles) { storeAnswer(handles, "OK"); }
void pbCancel(toolkit::Handle, const Value& handles) { storeAnswer(handles, "Cancel"); }


Values defaultSettingsRoutine(const Values&, int) { return {defaultSettings()}; }

}  // namespace

Value defaultSettings() {
  Value s = Value::record();
  s.setField("Title", Value::text("NoName"));
  s.setField("Frequency", Value::scalar(1000000000));
  s.setField("Amplitude", Value::scalar(-50));
  s.setField("SamplingRate", Value::scalar(1000000));
  s.setField("BBfilter", Value::scalar(2));
  s.setField("Scaling", Value::scalar(95));
  s.setField("ModAtten", Value::scalar(0));
  s.setField("RFblanking", Value::scalar(1));
  s.setField("ALC", Value::scalar(1));
  s.setField("ArbRefSource", Value::scalar(0));
  s.setField("MarkerPolarity", Value::scalar(0));
  return s;
}

void initializeFigure(const Value& handles) {
  rt::callByName("ResizeAllFonts", {Value::scalar(toolkit::handleIn(handles, "figAdvSettings"))}, 0);
  setToolTips(handles);
}

void setToolTips(const Value& handles) {
  const toolkit::Window dialog(handles);
  dialog["txtSamplingRate"].setToolTip(
      "Sets the baseband samping rate.\nValid Range: 1 Hz - 100 MHz\n(Configures automatically to be consistent\nwith "
      "the selected Oversampling Ratio.)");
  dialog["pdBBfilter"].setToolTip("Selects the ZEL reconstruction filter.");
  dialog["txtScaling"].setToolTip("Sets the I & Q scaling ratio.\nValid Range: 1 - 100 %");
  dialog["txtModAtten"].setToolTip("Sets the Modulator Attentuation.\nValid Range: 0 - 40 dB");
  dialog["chkRFblanking"].setToolTip("Toggles the state of the\nRF Blanking feature.");
  dialog["chkALC"].setToolTip("Toggles the state of the\nAutomatic Level Control (ALC).");
  dialog["chkBBrefSource"].setToolTip(
      "Toggles the source of the ARB reference\nbetween internal and external.\n(Note: Ensure that an external "
      "reference\nis connected to the ZEL before setting\nthe ARB reference source to external.)");
  dialog["chkMarkerPolarity"].setToolTip(
      "Toggles the Event marker polarity.\n(Note: The Event 2 Marker is used by\nthe internal RF Blanking feature, "
      "inverting the\npolarity while RF Blanking is active may\nlead to unexpected behaivour.)");
  dialog["pbOK"].setToolTip("Apply all changes.");
  dialog["pbCancel"].setToolTip("Discards all changes.");
}

void redrawAll(const Value& handles) {
  const toolkit::Window dialog(handles);
  const double r = setting("SamplingRate");
  const int unit = r < 1e3 ? 1 : r < 1e6 ? 2 : 3;
  dialog["pdSamplingRateUnits"].setValue(unit);
  const int exponent = 3 * (unit - 1);
  dialog["txtSamplingRate"].setText(
      fieldText(timesPowerOfTen(r, -exponent),
                [r, exponent](const std::string& t) { return samplingRateOf(t, exponent) == r; }));
  dialog["pdBBfilter"].setValue(setting("BBfilter"));
  dialog["txtScaling"].setText(rt::numberToText(setting("Scaling")));
  dialog["txtModAtten"].setText(rt::numberToText(setting("ModAtten")));
  dialog["chkRFblanking"].setValue(setting("RFblanking"));
  dialog["chkALC"].setValue(setting("ALC"));
  dialog["chkBBrefSource"].setValue(setting("ArbRefSource"));
  dialog["chkMarkerPolarity"].setValue(setting("MarkerPolarity"));
}

void updateSamplingRate(const Value& handles) {
  const toolkit::Window dialog(handles);
  const int exponent = 3 * (static_cast<int>(dialog["pdSamplingRateUnits"].value()) - 1);
  store("SamplingRate", samplingRateOf(dialog["txtSamplingRate"].text(), exponent));
  redrawAll(handles);
}

Values run(const Values& in, int) {
  // Without a figure the dialog is loaded for this run alone.
  const bool ownFigure = in.empty();
  const toolkit::Handle figure =
      ownFigure ? toolkit::loadFigure("ZelConfigAdv_c", toolkit::kScreen) : handleInput(in, 0);
  const Value handles = toolkit::current().controlRecord(figure);
  settings() = in.size() >= 2 && in[1].isRecord() ? in[1] : defaultSettings();
  redrawAll(handles);
  if (!radio_window::showRadioLimits(handles)) setToolTips(handles);
  const std::string answer = waitForAnswer(figure);
  if (ownFigure && toolkit::current().isValid(figure)) toolkit::current().close(figure);
  return {Value::text(answer), settings()};
}

const rt::WindowModule& module() {
  static const rt::WindowModule m = [] {
    rt::WindowModule w("zelConfigAdv_c");
    w.add("defaultSettings", 60, 0, 1, defaultSettingsRoutine);
    w.add("InitializeFigure", 80, 1, 0, handlesRoutine(initializeFigure));
    w.add("redrawAll", 120, 1, 0, handlesRoutine(redrawAll));
    w.add("updateSamplingRate", 150, 1, 0, handlesRoutine(updateSamplingRate));
    w.add("txtSamplingRate_Callback", 170, 3, 0, callbackRoutine(txtSamplingRate));
    w.add("pdSamplingRateUnits_Callback", 176, 3, 0, callbackRoutine(txtSamplingRate));
    w.add("txtScaling_Callback", 182, 3, 0, callbackRoutine(txtScaling));
    w.add("txtModAtten_Callback", 195, 3, 0, callbackRoutine(txtModAtten));
    w.add("pdBBfilter_Callback", 208, 3, 0, callbackRoutine(storeValue<kBBfilter>));
    w.add("chkRFblanking_Callback", 214, 3, 0, callbackRoutine(storeValue<kRFblanking>));
    w.add("chkALC_Callback", 220, 3, 0, callbackRoutine(storeValue<kALC>));
    w.add("chkBBrefSource_Callback", 226, 3, 0, callbackRoutine(storeValue<kArbRefSource>));
    w.add("chkMarkerPolarity_Callback", 232, 3, 0, callbackRoutine(storeValue<kMarkerPolarity>));
    w.add("pbOK_Callback", 238, 3, 0, callbackRoutine(pbOK));
    w.add("pbCancel_Callback", 246, 3, 0, callbackRoutine(pbCancel));
    w.add("closeFig_Callback", 254, 3, 0, callbackRoutine(pbCancel));
    return w;
  }();
  return m;
}

}  // namespace dot11b::windows::sig_gen_advanced
