// SPDX-License-Identifier: GPL-3.0-or-later
// The application window's commands: title, Calculate, the readiness questions, Download and Refresh,
// the instrument configuration, About and the shutdown.
#include "windows/app_window.h"

#include <cctype>
#include <exception>

#include "files/connection_settings.h"
#include "runtime/library.h"
#include "settings/clock_text.h"
#include "settings/compare_struct.h"
#include "toolkit/controls.h"
#include "toolkit/dialogs.h"
#include "toolkit/window_system.h"
#include "windows/radio_window.h"
#include "windows/receiver_test/receiver_test_dialog.h"
#include "windows/window_module.h"

namespace dot11b::windows::app_window {

using rt::Value;
using rt::Values;

namespace {

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

toolkit::Handle mainWindow(const Value& handles) { return toolkit::handleIn(handles, "main"); }

std::string formatModule() { return globalText("appInfo", "ApplicationFunction"); }

bool platformC() { return globalText("appInfo", "Platform") == "c"; }

// (status, description) of an instrument routine called by name.
struct Reply {
  double status = -1;
  std::string description;
};

Reply callInstrument(std::string_view routine, const Values& in) {
  const Values out = rt::callByName(routine, in, 2);
  Reply r;
  if (!out.empty() && out[0].isNumeric() && !out[0].isEmpty()) r.status = out[0].re(0);
  if (out.size() > 1 && out[1].isText()) r.description = out[1].toUtf8();
  return r;
}

Reply setUpPlayback() {
  const Value& settings = rt::global("SigGenSettings");
  return callInstrument(platformC() ? "ZELPlay_c" : "ZELPlay",
                        {settings.field("Title"), settings, rt::global("configuration")});
}

void checkOnly(toolkit::Handle item) {
  const std::string tag = toolkit::Control(item).tag();
  const Value siblings = toolkit::current().get(toolkit::current().get(item, "Parent").re(0), "Children");
  for (double sibling : siblings.real()) toolkit::Control(sibling).setChecked(toolkit::Control(sibling).tag() == tag);
}

void closeIfValid(const Value& window) {
  if (window.isNumeric() && !window.isEmpty() && toolkit::current().isValid(window.re(0)))
    toolkit::current().close(window.re(0));
}

}  // namespace

std::string applicationTitle() {
  std::string title = "Vantrel Wavendo - " + globalText("appInfo", "Name");
  const std::string file = globalText("configuration", "LastParameterFilename");
  if (!file.empty()) title += " : " + file;
  return title;
}

void initializeFigure(const Value& handles) {
  const Value stored = files::loadConnectionSettings();
  if (!stored.isEmpty()) rt::global("configuration") = stored;
  radio_window::startStatusLine(handles);
  const toolkit::Window window(handles);
  window["pbCalculate"].setToolTip("Calculates the waveform based\non current settings.");
  window["pbDownload"].setToolTip("Downloads the current waveform and\nsettings to the ZEL.");
  window["pbRefresh"].setToolTip("Downloads just the current seetings\nto the ZEL.");
  window["txtEvent1"].setToolTip("Description of the signal available on\nthe Event 1 Connector of the rear panel.");
  window["txtEvent2"].setToolTip("Description of the signal available on\nthe Event 2 Connector of the rear panel.");
  if (!platformC()) {
    window["txtNumberOfSamples"].setToolTip(
        "The number of samples generated \nby the current settings.\n(An ZEL can hold up to 1 M samples.)");
    return;
  }
  window["txtNumberOfSamples"].setToolTip(
      "The number of samples generated \nby the current settings.\n(The Q6200T can hold up to 8 or 32 M samples.)");
  window["txtEvent3"].setToolTip("Description of the signal available on\nthe Event 3 Connector of the rear panel.");
  window["txtEvent4"].setToolTip("Description of the signal available on\nthe Event 4 Connector of the rear panel.");
  const bool option001 = globalText("configuration", "BBGtype") == "001";
  window["menuConfigBBG1Opt1"].setChecked(option001);
  window["menuConfigBBG1Opt2"].setChecked(!option001);
}

void redrawAppTitle(const Value& handles) {
  // Without a window (a host running the commands headless) there is no title to redraw.
  if (!toolkit::installed() || !handles.isRecord() || !handles.hasField("main")) return;
  toolkit::current().set(mainWindow(handles), "Name", Value::text(applicationTitle()));
}

bool executeCalculation(const Value& handles) {
  try {
    const toolkit::BusyPointer busy(mainWindow(handles));
    rt::callSubroutine(formatModule(), "Calculate", {}, 0);
    receiver_test_dialog::leaveComposite();
  } catch (const std::exception& e) {
    toolkit::dialogs().error(e.what(), "Error Occured During Calculation");
    return false;
  }
  Value& appInfo = rt::global("appInfo");
  appInfo.setField("LastCalcTimeStamp", settings::clockNow());
  appInfo.setField("LastCaluclatedParameterSet", rt::global("parameters"));
  return true;
}

bool checkWaveformReady(const Value& handles, const std::string& action) {
  const Value& appInfo = rt::global("appInfo");
  if (appInfo.field("LastCalcTimeStamp").isEmpty()) {
    const std::string answer = toolkit::dialogs().question(
        "The waveform has not yet been calculated. Do you wish to calculate\nthe waveform and then " + lower(action) +
            " ?",
        "Waveform Not Calculated", {"Calculate & " + action, "Cancel"}, "Calculate & " + action);
    return answer != "Cancel" && executeCalculation(handles);
  }
  if (!settings::compareStruct(appInfo.field("LastCaluclatedParameterSet"), rt::global("parameters"))) {
    const std::string recalc = "Recalc & " + action;
    const std::string answer = toolkit::dialogs().question(
        "Settings have changed since last calculating the waveform.\n" + action +
            " will use the last calculated waveform.\nDo you wish to " + lower(action) + " anyway ?",
        "Waveform Not Recalculated", {"Yes", recalc, "Cancel"}, recalc);
    if (answer == "Cancel") return false;
    return answer.rfind("Recalc & ", 0) != 0 || executeCalculation(handles);
  }
  return true;
}

void pbCalculate(toolkit::Handle, const Value& handles) { executeCalculation(handles); }

void pbDownload(toolkit::Handle, const Value& handles) {
  if (!checkWaveformReady(handles, "Download")) return;
  Reply download;
  Reply playback;
  const bool radio = radio_window::onRadio();
  if (radio) radio_window::downloadStarted();
  {
    const toolkit::BusyPointer busy(mainWindow(handles));
    download = callInstrument("ZELDownLoadWrap", {rt::global("waveform"), rt::global("markers"),
                                                  rt::global("SigGenSettings").field("Title"),
                                                  rt::global("configuration")});
    if (download.status == 0) playback = setUpPlayback();
  }
  if (download.status != 0) {
    toolkit::dialogs().error(download.description, "Error Occured During Waveform Download");
  } else if (playback.status == 0) {
    const std::string done = "Waveform has been successfully transferred to the instrument";
    toolkit::dialogs().message(radio ? playback.description : done, "Download Completed");
  } else {
    toolkit::dialogs().error(playback.description, "Error Occured During Instrument Setup");
  }
}

void pbRefresh(toolkit::Handle, const Value& handles) {
  const Reply playback = setUpPlayback();
  if (playback.status != 0) toolkit::dialogs().error(playback.description, "Error Occured During Instrument Setup");
  radio_window::updateStatusLine(handles);
}

void menuConfigSigGenIO(toolkit::Handle, const Value& handles) {
  const Values out = rt::callByName(
      "VX_SigGen",
      {Value::scalar(mainWindow(handles)), rt::global("configuration"), rt::global("appInfo").field("Platform")}, 2);
  if (out.size() >= 2 && out[0].isText() && out[0].toUtf8() == "OK") {
    // A loop that plays belongs to the connection it was started on.
    if (!(out[1] == rt::global("configuration"))) radio_window::stopPlaying("the connection changed");
    rt::global("configuration") = out[1];
  }
}

void menuConfigReceiverTest(toolkit::Handle, const Value& handles) {
  const Values out = rt::callByName("Dot11b_ReceiverTest", {Value::scalar(mainWindow(handles))}, 1);
  if (!out.empty() && out[0].isText() && out[0].toUtf8() == "OK")
    callModule("ZELconfig_c", "redrawSigGenSettings", {handles});
}

void menuConfigBBG1Opt1(toolkit::Handle h, const Value& handles) {
  if (globalNumber("parameters", "ProjectedLength") > 8000000) {
    const std::string answer = toolkit::dialogs().question(
        "The waveform based on the current settings \nis too large to for Option 001. Changing to\nOption 001 will "
        "reset all settings to the defaults.\nDo you wish to change anyway ?",
        "Waveform too large", {"Yes", "Cancel"}, "Cancel");
    if (answer == "Cancel") return;
    callModule(formatModule(), "InitializeParameters");
    callModule(formatModule(), "redraw", {handles});
  }
  rt::global("configuration").setField("BBGtype", Value::text("001"));
  checkOnly(h);
}

void menuConfigBBG1Opt2(toolkit::Handle h, const Value&) {
  rt::global("configuration").setField("BBGtype", Value::text("002"));
  checkOnly(h);
}

void menuHelpAbout(toolkit::Handle, const Value& handles) {
  rt::callByName("VX_About", {Value::scalar(mainWindow(handles)), rt::global("appInfo")}, 0);
}

void appShutDown(const Value& handles) {
  Value& appInfo = rt::global("appInfo");
  const Value windows = appInfo.field("ClientWindows");
  for (double w : windows.real()) closeIfValid(Value::scalar(w));
  appInfo.setField("ClientWindows", Value());
  radio_window::stopPlaying("the application exited");
  files::saveConnectionSettings(rt::global("configuration"));
  // The hidden dialogs live as long as the main window.
  const Value& figureList = rt::global("figureList");
  if (figureList.isRecord()) {
    for (const auto& [name, dialog] : figureList.fields()) closeIfValid(dialog);
  }
  if (handles.isRecord() && handles.hasField("main")) {
    closeIfValid(handles.field("main"));
  } else if (toolkit::openWindowSystem() != nullptr) {
    // Called without the control record (as a host may call it): the main window is found by its tag.
    const Value found = rt::callByName("Findobj", {Value::text("main")}, 1).front();
    for (double window : found.real()) closeIfValid(Value::scalar(window));
  }
}

void menuFileExit(toolkit::Handle, const Value& handles) { appShutDown(handles); }

}  // namespace dot11b::windows::app_window
