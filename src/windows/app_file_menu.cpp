// SPDX-License-Identifier: GPL-3.0-or-later
// The File commands of the application window: parameter files and the waveform data files.
#include "runtime/binding.h"
#include "files/parameter_files.h"
#include "files/waveform_files.h"
#include "runtime/library.h"
#include "toolkit/controls.h"
#include "toolkit/dialogs.h"
#include "windows/app_window.h"
#include "windows/file_steps_with_messages.h"
#include "windows/window_module.h"

namespace dot11b::windows::app_window {

namespace {

// Save As with a file name that starts with this prefix (and has more after it) saves the waveform.
constexpr std::string_view kSpecialSavePrefix = "velmira.";

std::string extension() { return globalText("appInfo", "ParameterFileExtension"); }
std::string parameterFilter() { return "*" + extension(); }

files::Samples computedWaveform() { return rt::toComplexVector(rt::global("waveform"), {"rfCommonUI", "waveform"}); }

void redrawFormatModule(const rt::Value& handles) {
  // Without a window there is nothing to redraw.
  if (handles.isRecord()) callModule(globalText("appInfo", "ApplicationFunction"), "redraw", {handles});
}

// Saves the parameters under a new name; the name is remembered (and shown in the title) only once the
// file was written, so a failed save never leaves File Save pointing at a file that does not exist.
void saveParametersAs(const toolkit::FileChoice& choice, const rt::Value& handles) {
  const std::string name = files::addFileExtention(choice.folder + choice.name, extension());
  if (!saveParameters(name, rt::global("parameters"), toolkit::dialogs())) return;
  rt::global("configuration").setField("LastParameterFilename", rt::Value::text(name));
  redrawAppTitle(handles);
}

}  // namespace

bool loadParametersInto(const std::string& filename, const rt::Value& handles) {
  const auto adjustments = loadParameters(filename, rt::global("parameters"), toolkit::dialogs());
  if (!adjustments) return false;
  redrawFormatModule(handles);
  showAdjustments(filename, *adjustments, toolkit::dialogs());
  return true;
}

void menuFileNew(toolkit::Handle, const rt::Value& handles) {
  rt::global("configuration").setField("LastParameterFilename", rt::Value());
  const std::string format = globalText("appInfo", "ApplicationFunction");
  callModule(format, "InitializeParameters");
  callModule(format, "InitializeSigGenSettings");
  redrawFormatModule(handles);
}

void menuFileOpen(toolkit::Handle, const rt::Value& handles) {
  const auto choice = toolkit::dialogs().openFile(parameterFilter());
  if (!choice) return;
  const std::string full = files::addFileExtention(choice->folder + choice->name, ".mat");
  if (!loadParametersInto(full, handles)) return;
  rt::global("configuration").setField("LastParameterFilename", rt::Value::text(full));
  redrawAppTitle(handles);
}

void menuFileSave(toolkit::Handle, const rt::Value& handles) {
  const std::string last = globalText("configuration", "LastParameterFilename");
  if (!last.empty()) {
    saveParameters(last, rt::global("parameters"), toolkit::dialogs());
    return;
  }
  if (const auto choice = toolkit::dialogs().saveFile(parameterFilter())) saveParametersAs(*choice, handles);
}

void menuFileSaveAs(toolkit::Handle, const rt::Value& handles) {
  const auto choice = toolkit::dialogs().saveFile(parameterFilter());
  if (!choice) return;
  if (choice->name.size() > kSpecialSavePrefix.size() && choice->name.starts_with(kSpecialSavePrefix)) {
    saveWaveform(choice->folder + choice->name.substr(kSpecialSavePrefix.size()), computedWaveform(),
                 toolkit::dialogs());
    return;
  }
  saveParametersAs(*choice, handles);
}

void menuSpecialSaveWave(toolkit::Handle, const rt::Value& handles) {
  if (!checkWaveformReady(handles, "Save")) return;
  const auto choice = toolkit::dialogs().saveFile("*.txt");
  if (!choice) return;
  const std::string name = choice->folder + choice->name;
  std::string failure;
  {
    const toolkit::BusyPointer busy(toolkit::handleIn(handles, "main"));
    try {
      files::saveWaveData(name, computedWaveform(), globalNumber("SigGenSettings", "SamplingRate"));
    } catch (const std::exception& e) {
      failure = e.what();
    }
  }
  if (!failure.empty()) toolkit::dialogs().error(failure, "Error Saving " + name);
}

}  // namespace dot11b::windows::app_window
