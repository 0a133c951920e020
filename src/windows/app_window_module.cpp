// SPDX-License-Identifier: GPL-3.0-or-later
// The application window module's table of sub-routines.
#include "runtime/binding.h"
#include "files/connection_settings.h"
#include "files/parameter_files.h"
#include "files/waveform_files.h"
#include "runtime/library.h"
#include "toolkit/dialogs.h"
#include "windows/app_window.h"
#include "windows/radio_window.h"
#include "windows/file_steps_with_messages.h"
#include "windows/window_module.h"

namespace dot11b::windows::app_window {

namespace {

using rt::Value;
using rt::Values;

constexpr std::string_view kModule = "rfCommonUI";

std::string textInput(const Values& in, std::size_t i, std::string_view routine, std::string_view name) {
  return rt::toText(rt::input(in, i, {routine, name}), {routine, name});
}

Values saveConfig(const Values& in, int) {
  files::saveConnectionSettings(rt::input(in, 0, {"rfCommonUI/saveConfig", "fileParameters"}));
  return {};
}

Values loadConfig(const Values&, int) { return {files::loadConnectionSettings()}; }

Values addFileExtentionRoutine(const Values& in, int) {
  constexpr std::string_view r = "rfCommonUI/addFileExtention";
  return {Value::text(files::addFileExtention(textInput(in, 0, r, "name"), textInput(in, 1, r, "ext")))};
}

Values saveParametersRoutine(const Values& in, int) {
  constexpr std::string_view r = "rfCommonUI/saveParameters";
  saveParameters(textInput(in, 0, r, "filename"), rt::input(in, 1, {r, "fileParameters"}), toolkit::dialogs());
  return {};
}

Values loadParametersRoutine(const Values& in, int) {
  const std::string filename = textInput(in, 0, "rfCommonUI/loadParameters", "filename");
  return {Value::scalar(loadParametersInto(filename, recordInput(in, 1)) ? 1 : 0)};
}

Values saveWaveformRoutine(const Values& in, int) {
  constexpr std::string_view r = "rfCommonUI/saveWaveform";
  saveWaveform(textInput(in, 0, r, "filename"), rt::toComplexVector(rt::global("waveform"), {kModule, "waveform"}),
               toolkit::dialogs());
  return {};
}

// Sets the window's title and also gives its text, for hosts without a window.
Values redrawAppTitleRoutine(const Values& in, int) {
  redrawAppTitle(recordInput(in, 0));
  return {Value::text(applicationTitle())};
}

Values executeCalculationRoutine(const Values& in, int) {
  executeCalculation(recordInput(in, 0));
  return {};
}

Values checkWaveformReadyRoutine(const Values& in, int) {
  const std::string action = textInput(in, 1, "rfCommonUI/checkWaveformReady", "actionString");
  return {Value::scalar(checkWaveformReady(recordInput(in, 0), action) ? 1 : 0)};
}

Values appShutDownRoutine(const Values& in, int) {
  appShutDown(recordInput(in, 0));
  return {};
}

}  // namespace

const rt::WindowModule& module() {
  static const rt::WindowModule m = [] {
    rt::WindowModule w{std::string(kModule)};
    w.add("InitializeFigure", 60, 1, 0, handlesRoutine(initializeFigure));
    w.add("redrawAppTitle", 96, 1, 1, redrawAppTitleRoutine);
    w.add("executeCalculation", 108, 1, 0, executeCalculationRoutine);
    w.add("checkWaveformReady", 122, 2, 1, checkWaveformReadyRoutine);
    w.add("AppShutDown", 160, 1, 0, appShutDownRoutine);
    w.add("saveConfig", 181, 1, 0, saveConfig);
    w.add("loadConfig", 190, 0, 1, loadConfig);
    w.add("addFileExtention", 204, 2, 1, addFileExtentionRoutine);
    w.add("saveParameters", 214, 2, 0, saveParametersRoutine);
    w.add("loadParameters", 227, 2, 1, loadParametersRoutine);
    w.add("saveWaveform", 262, 1, 0, saveWaveformRoutine);
    addCallbacks(w,
                 {
                  {"pbCalculate_Callback", pbCalculate},
                  {"pbDownload_Callback", pbDownload},
                  {"pbRefresh_Callback", pbRefresh},
                  {"menuConfigSigGenIO_Callback", menuConfigSigGenIO},
                  {"menuConfigReceiverTest_Callback", menuConfigReceiverTest},
                  {"menuConfigBBG1Opt1_Callback", menuConfigBBG1Opt1},
                  {"menuConfigBBG1Opt2_Callback", menuConfigBBG1Opt2},
                  {"menuHelpAbout_Callback", menuHelpAbout},
                  {"menuFileExit_Callback", menuFileExit},
                  {"menuFileNew_Callback", menuFileNew},
                  {"menuFileOpen_Callback", menuFileOpen},
                  {"menuFileSave_Callback", menuFileSave},
                  {"menuFileSaveAs_Callback", menuFileSaveAs},
                  {"menuSpecialSaveWave_Callback", menuSpecialSaveWave},
                  {"menuPlotSpectrum_Callback", menuPlotSpectrum},
                  {"menuPlotWaterfall_Callback", menuPlotWaterfall},
                  {"menuPlotIQTime_Callback", menuPlotIQTime},
                  {"menuPlotIQTimeSameAxes_Callback", menuPlotIQTimeSameAxes},
                  {"menuPlotEyeDiagram_Callback", menuPlotEyeDiagram},
                  {"menuPlotScatterDiagram_Callback", menuPlotScatterDiagram},
                  {"menuPlotCCDF_Callback", menuPlotCCDF},
                  {"menuPlotVerify_Callback", menuPlotVerify},
                  {"tbRFOutput_Callback", radio_window::tbRFOutput},
                 },
                 300, 20);
    return w;
  }();
  return m;
}

}  // namespace dot11b::windows::app_window
