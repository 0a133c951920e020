// SPDX-License-Identifier: GPL-3.0-or-later
// The application window module: what every signal application shares, whatever its format. The menu
// bar, Calculate, Download and Refresh, the window title, the plot commands, the instrument configuration
// commands, the File commands, About and the orderly shutdown. It reaches the format module only by name, through
// appInfo.ApplicationFunction.
#pragma once

#include <string>

#include "runtime/dispatch.h"
#include "toolkit/toolkit.h"

namespace dot11b::windows::app_window {

const rt::WindowModule& module();

// Builds the menu bar in `window`; returns the record File, Plot, Config, Special, Help of the top-level
// menus' handles.
rt::Value addMenus(toolkit::Handle window);

// "Vantrel Wavendo - " + appInfo.Name, and " : " + the parameter file when there is one.
std::string applicationTitle();

void initializeFigure(const rt::Value& handles);
void redrawAppTitle(const rt::Value& handles);
// Runs the format module's Calculate under the busy pointer; records the time stamp and the parameters
// only when it succeeded. A failure is shown to the user; returns whether it succeeded.
bool executeCalculation(const rt::Value& handles);
// Whether an action ("Download", "Plot", "Save") may use the computed waveform, asking the user to
// calculate or recalculate first where needed.
bool checkWaveformReady(const rt::Value& handles, const std::string& action);
// Closes the plot windows and dialogs, stores the connection settings and closes the main window.
void appShutDown(const rt::Value& handles);

// The callback sub-routines, each (control that fired, control record).
void pbCalculate(toolkit::Handle h, const rt::Value& handles);
void pbDownload(toolkit::Handle h, const rt::Value& handles);
void pbRefresh(toolkit::Handle h, const rt::Value& handles);
void menuConfigSigGenIO(toolkit::Handle h, const rt::Value& handles);
// The receiver test dialog; its composite, on OK, is the current waveform and its amplitude the panel's.
void menuConfigReceiverTest(toolkit::Handle h, const rt::Value& handles);
void menuConfigBBG1Opt1(toolkit::Handle h, const rt::Value& handles);
void menuConfigBBG1Opt2(toolkit::Handle h, const rt::Value& handles);
void menuHelpAbout(toolkit::Handle h, const rt::Value& handles);
void menuFileExit(toolkit::Handle h, const rt::Value& handles);

// Plot commands: each opens its view beside the main window and adds it to appInfo.ClientWindows.
void menuPlotSpectrum(toolkit::Handle h, const rt::Value& handles);
void menuPlotWaterfall(toolkit::Handle h, const rt::Value& handles);
void menuPlotIQTime(toolkit::Handle h, const rt::Value& handles);
void menuPlotIQTimeSameAxes(toolkit::Handle h, const rt::Value& handles);
void menuPlotEyeDiagram(toolkit::Handle h, const rt::Value& handles);
void menuPlotScatterDiagram(toolkit::Handle h, const rt::Value& handles);
void menuPlotCCDF(toolkit::Handle h, const rt::Value& handles);
// Decodes the last waveform with the built-in receiver and shows what it found, with the transmitter checks.
void menuPlotVerify(toolkit::Handle h, const rt::Value& handles);

// File commands (parameter files and the waveform data files).
void menuFileNew(toolkit::Handle h, const rt::Value& handles);
void menuFileOpen(toolkit::Handle h, const rt::Value& handles);
void menuFileSave(toolkit::Handle h, const rt::Value& handles);
void menuFileSaveAs(toolkit::Handle h, const rt::Value& handles);
void menuSpecialSaveWave(toolkit::Handle h, const rt::Value& handles);
// Reads a parameter file into parameters and redraws the window; whether it was loaded.
bool loadParametersInto(const std::string& filename, const rt::Value& handles);

}  // namespace dot11b::windows::app_window
