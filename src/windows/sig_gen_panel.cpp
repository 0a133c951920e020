// SPDX-License-Identifier: GPL-3.0-or-later
// The signal generator section of the main window: it works directly on SigGenSettings.
#include <cctype>

#include "runtime/library.h"
#include "runtime/number_text.h"
#include "settings/number_entry.h"
#include "toolkit/controls.h"
#include "windows/field_text.h"
#include "windows/sig_gen_panels.h"
#include "windows/window_module.h"

namespace dot11b::windows::sig_gen_panel {

namespace {

using rt::Value;

double setting(std::string_view field) { return globalNumber("SigGenSettings", field); }
void store(std::string_view field, double x) { setGlobalNumber("SigGenSettings", field, x); }

void txtFrequencyCallback(toolkit::Handle, const Value& handles) { updateFrequency(handles); }

// The frequency a text gives in a unit of 10^exponent Hz, converted and limited.
double frequencyOf(std::string_view text, int exponent) { return entryInUnit(text, exponent, 100000, 6000000000); }

}  // namespace

std::string filteredTitle(std::string_view text) {
  static constexpr std::string_view kAllowedMarks = "_$&#+-[]";
  std::string title;
  for (unsigned char c : text) {
    const char upper = static_cast<char>(std::toupper(c));
    const bool letterOrDigit = (upper >= 'A' && upper <= 'Z') || (upper >= '0' && upper <= '9');
    if (c < 0x80 && (letterOrDigit || kAllowedMarks.find(upper) != std::string_view::npos)) title += upper;
  }
  if (title.empty()) return "BLANK";
  return title.substr(0, 20);
}

void initializeSigGenScreenObjects(const Value& handles) {
  const toolkit::Window panel(handles);
  panel["txtFrequency"].setToolTip(
      "Sets the carrier frequency.\nValid Range: 100 kHz - 6 GHz\n(Note: ZEL option determines the\nmaximum "
      "frequency.)");
  panel["txtAmplitude"].setToolTip(
      "Sets the output power.\nValid Range: -136 dBm to +20 dBm\n(Note: ZEL option determines the\nmaximum "
      "amplitude.)");
  panel["txtWaveformTitle"].setToolTip("Enter the title used to store the \nwaveform in the ZEL.");
  panel["pbAdvancedSettings"].setToolTip("Configures advanced Signal Generator options.");
}

void redrawSigGenSettings(const Value& handles) {
  const toolkit::Window panel(handles);
  const double f = setting("Frequency");
  const int unit = f < 1e3 ? 1 : f < 1e6 ? 2 : f < 1e9 ? 3 : 4;
  panel["pdFrequencyUnits"].setValue(unit);
  const int exponent = 3 * (unit - 1);
  panel["txtFrequency"].setText(
      fieldText(timesPowerOfTen(f, -exponent),
                [f, exponent](const std::string& t) { return frequencyOf(t, exponent) == f; }));
  panel["txtWaveformTitle"].setText(globalText("SigGenSettings", "Title"));
  panel["txtAmplitude"].setText(rt::numberToText(setting("Amplitude")));
}

void updateFrequency(const Value& handles) {
  const toolkit::Window panel(handles);
  const int exponent = 3 * (static_cast<int>(panel["pdFrequencyUnits"].value()) - 1);
  store("Frequency", frequencyOf(panel["txtFrequency"].text(), exponent));
  redrawSigGenSettings(handles);
}

void txtAmplitude(toolkit::Handle h, const Value&) {
  const double a = settings::Entry(toolkit::Control(h).text()).round().atMost(20).atLeast(-136).value();
  store("Amplitude", a);
  toolkit::Control(h).setText(rt::numberToText(a));
}

void txtWaveformTitle(toolkit::Handle h, const Value& handles) {
  rt::global("SigGenSettings").setField("Title", Value::text(filteredTitle(toolkit::Control(h).text())));
  redrawSigGenSettings(handles);
}

void pbAdvancedSettings(toolkit::Handle, const Value&) {
  const Value dialog = rt::global("figureList").field("AdvSettings");
  const rt::Values out = rt::callByName("ZelConfigAdv_c", {dialog, rt::global("SigGenSettings")}, 2);
  if (out.size() >= 2 && out[0].isText() && out[0].toUtf8() == "OK") rt::global("SigGenSettings") = out[1];
}

const rt::WindowModule& module() {
  static const rt::WindowModule m = [] {
    rt::WindowModule w("ZELconfig_c");
    w.add("InitializeSigGenScreenObjects", 40, 1, 0, handlesRoutine(initializeSigGenScreenObjects));
    w.add("redrawSigGenSettings", 61, 1, 0, handlesRoutine(redrawSigGenSettings));
    w.add("txtFrequency_Callback", 86, 3, 0, callbackRoutine(txtFrequencyCallback));
    w.add("pdFrequencyUnits_Callback", 92, 3, 0, callbackRoutine(txtFrequencyCallback));
    w.add("updateFrequency", 98, 1, 0, handlesRoutine(updateFrequency));
    w.add("txtAmplitude_Callback", 121, 3, 0, callbackRoutine(txtAmplitude));
    w.add("txtWaveformTitle_Callback", 137, 3, 0, callbackRoutine(txtWaveformTitle));
    w.add("pbAdvancedSettings_Callback", 168, 3, 0, callbackRoutine(pbAdvancedSettings));
    return w;
  }();
  return m;
}

}  // namespace dot11b::windows::sig_gen_panel
