// SPDX-License-Identifier: GPL-3.0-or-later
// The format module's start-up, its Calculate and its table of sub-routines.
#include <chrono>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "runtime/binding.h"
#include "runtime/library.h"
#include "settings/calculate.h"
#include "settings/start_values.h"
#include "toolkit/controls.h"
#include "toolkit/figures.h"
#include "windows/format_panel.h"
#include "windows/window_module.h"

namespace dot11b::windows::format_panel {

namespace {

using rt::Value;
using rt::Values;

// The splash window stays up at least this long; DOT11B_SPLASH_MS shortens it (for tests).
int splashMilliseconds() {
  const char* env = std::getenv("DOT11B_SPLASH_MS");
  if (env == nullptr || *env == '\0') return 3000;
  char* end = nullptr;
  const long ms = std::strtol(env, &end, 10);
  return *end == '\0' && ms >= 0 && ms <= 3000 ? static_cast<int>(ms) : 3000;
}

Values initializeAppInfo(const Values&, int) {
  rt::global("appInfo") = settings::initialAppInfo();
  return {};
}

Values initializeConfiguration(const Values&, int) {
  rt::global("configuration") = settings::initialConfiguration();
  return {};
}

Values initializeParameters(const Values&, int) {
  rt::global("parameters") = settings::initialParameters();
  return {};
}

Values initializeSigGenSettings(const Values&, int) {
  rt::global("SigGenSettings") = settings::initialSigGenSettings(globalNumber("parameters", "OverSampling"));
  return {};
}

Value controlRecordOf(toolkit::Handle window) { return toolkit::current().controlRecord(window); }

// A hidden dialog loaded beside the main window and initialised by its module.
toolkit::Handle loadDialog(std::string_view layout, toolkit::Handle main, std::string_view module) {
  const toolkit::Handle dialog = toolkit::loadFigure(layout, main);
  callModule(module, "InitializeFigure", {controlRecordOf(dialog)});
  return dialog;
}

Values initializeFigures(const Values&, int) {
  const toolkit::Handle main = toolkit::loadFigure("dot11b_GUI_c", toolkit::kScreen);
  rt::callByName("VX_AddMenu", {Value::scalar(main)}, 0);
  // The callbacks' control record includes the menu items just added.
  toolkit::current().setAppData(main, controlRecordOf(main));
  callModule("RfCommonUI", "InitializeFigure", {controlRecordOf(main)});
  Value& figureList = rt::global("figureList");
  if (!figureList.isRecord()) figureList = Value::record();
  figureList.setField("MACheader", Value::scalar(loadDialog("dot11_MACconfig", main, "Dot11_MACconfig")));
  figureList.setField("AdvSettings", Value::scalar(loadDialog("ZelConfigAdv_c", main, "ZelConfigAdv_c")));
  return {Value::scalar(main)};
}

Values calculateRoutine(const Values&, int) {
  calculate();
  return {};
}

}  // namespace

void calculate() {
  const phy::Frame frame = settings::calculate(rt::global("parameters"));
  rt::global("waveform") = rt::fromComplex(frame.waveform);
  rt::global("markers") = rt::fromMarkerRows(frame.marker1, frame.marker2);
}

namespace {

// The splash window while the application starts; it goes on every path out, failures included.
class Splash {
 public:
  Splash() {
    try {
      const Values shown = rt::callByName("VX_Splash", {}, 1);
      if (!shown.empty()) window_ = shown.front().re(0);
      // VX_Splash returns once the window is painted: its time on screen starts now.
      start_ = std::chrono::steady_clock::now();
    } catch (const std::exception& e) {
      // The application starts without its splash window rather than not at all.
      std::cerr << e.what() << std::endl;
    }
  }
  ~Splash() {
    if (window_ != toolkit::kScreen && toolkit::current().isValid(window_)) toolkit::current().close(window_);
  }
  Splash(const Splash&) = delete;
  Splash& operator=(const Splash&) = delete;

  // Keeps it up until it has been shown for the minimum time.
  void keepUpFor(int milliseconds) const {
    const auto shownFor =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_);
    if (shownFor.count() < milliseconds)
      toolkit::current().processEventsFor(milliseconds - static_cast<int>(shownFor.count()));
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  toolkit::Handle window_ = toolkit::kScreen;
};

}  // namespace

Values startApplication(const Values&, int) {
  toolkit::Handle main = toolkit::kScreen;
  {
    const Splash splash;
    initializeAppInfo({}, 0);
    initializeConfiguration({}, 0);
    initializeParameters({}, 0);
    initializeSigGenSettings({}, 0);
    main = initializeFigures({}, 1).front().re(0);
    const Value handles = controlRecordOf(main);
    initializeFigure(handles);
    redraw(handles);
    splash.keepUpFor(splashMilliseconds());
  }
  toolkit::current().show(main);
  return {Value::scalar(main)};
}

const rt::WindowModule& module() {
  static const rt::WindowModule m = [] {
    rt::WindowModule w("dot11b_GUI_c");
    w.add("InitializeAppInfo", 120, 0, 0, initializeAppInfo);
    w.add("InitializeConfiguration", 146, 0, 0, initializeConfiguration);
    w.add("InitializeParameters", 165, 0, 0, initializeParameters);
    w.add("InitializeSigGenSettings", 226, 0, 0, initializeSigGenSettings);
    w.add("InitializeFigures", 246, 0, 1, initializeFigures);
    w.add("InitializeFigure", 296, 1, 0, handlesRoutine(initializeFigure));
    w.add("redraw", 341, 1, 0, handlesRoutine(redraw));
    w.add("redrawFormatParameters", 352, 1, 0, handlesRoutine(redrawFormatParameters));
    w.add("redrawGenerationParameters", 420, 1, 0, handlesRoutine(redrawGenerationParameters));
    w.add("redrawPaylodSetup", 447, 1, 0, handlesRoutine(redrawPaylodSetup));
    w.add("redrawProjectedLength", 471, 1, 0, handlesRoutine(redrawProjectedLength));
    addCallbacks(w,
                 {
                  {"tbGenerationMode_Callback", tbGenerationMode},
                  {"pdDataRate_Callback", pdDataRate},
                  {"pdModulation_Callback", pdModulation},
                  {"pdPreambleFormat_Callback", pdPreambleFormat},
                  {"chkClkLocked_Callback", chkClkLocked},
                  {"pdScrambler_Callback", pdScrambler},
                  {"chkEncoderActive_Callback", chkEncoderActive},
                  {"pdChannels_Callback", pdChannels},
                  {"pdPowerRamp_Callback", pdPowerRamp},
                  {"txtRampTime_Callback", txtRampTime},
                  {"txtIdleInterval_Callback", txtIdleInterval},
                  {"txtOversampleRate_Callback", txtOversampleRate},
                  {"pdFilterType_Callback", pdFilterType},
                  {"txtFilterFactor_Callback", txtFilterFactor},
                  {"txtFilterTaps_Callback", txtFilterTaps},
                  {"chkMirrorSpectrum_Callback", chkMirrorSpectrum},
                  {"chkMACheader_Callback", chkMACheader},
                  {"chkMACfcs_Callback", chkMACfcs},
                  {"pbMACheaderSetup_Callback", pbMACheaderSetup},
                  {"pdDATAsourceType_Callback", pdDATAsourceType},
                  {"txtDataLength_Callback", txtDataLength},
                 },
                 490, 14);
    w.add("Calculate", 784, 0, 0, calculateRoutine);
    return w;
  }();
  return m;
}

}  // namespace dot11b::windows::format_panel
