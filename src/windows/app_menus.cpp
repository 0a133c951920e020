// SPDX-License-Identifier: GPL-3.0-or-later
// The application window's menu bar.
#include <vector>

#include "runtime/library.h"
#include "windows/app_window.h"
#include "windows/window_module.h"

namespace dot11b::windows::app_window {

namespace {

struct MenuRow {
  int level;  // 0 a top-level menu, 1 its item, 2 an item of a sub-menu
  toolkit::MenuEntry entry;
  bool platformCOnly = false;  // created only for the Q6200T generation (platform code "c")
};

std::string callback(const std::string& command) { return "rfCommonUI('" + command + "',gcbo,[],guidata(gcbo))"; }

MenuRow menu(const char* label, const char* tag, bool visible = true) { return {0, {label, tag, "", false, visible}}; }

MenuRow item(const char* label, const char* tag, const char* command, bool separator = false, bool visible = true,
             bool enabled = true) {
  return {1, {label, tag, callback(command), separator, visible, enabled}};
}

const std::vector<MenuRow>& menuTable() {
  static const std::vector<MenuRow> rows = {
      menu("&File", "menuFile"),
      item("&New", "menuFileNew", "menuFileNew_Callback"),
      item("&Open...", "menuFileOpen", "menuFileOpen_Callback"),
      item("&Save", "menuFileSave", "menuFileSave_Callback"),
      item("Save &As...", "menuFileSaveAs", "menuFileSaveAs_Callback"),
      item("E&xit", "menuFileExit", "menuFileExit_Callback", true),
      menu("&Plot", "menuPlot"),
      item("&Spectrum", "menuPlotSpectrum", "menuPlotSpectrum_Callback"),
      item("&Waterfall", "menuPlotWaterfall", "menuPlotWaterfall_Callback", false, false),
      item("I(t) Q(t)", "menuPlotIQTime", "menuPlotIQTime_Callback", true),
      item("I(t) Q(t) Overlayed", "menuPlotIQTimeSameAxes", "menuPlotIQTimeSameAxes_Callback"),
      item("&Eye Diagram", "menuPlotEyeDiagram", "menuPlotEyeDiagram_Callback", false, false),
      item("S&catter Diagram", "menuPlotScatterDiagram", "menuPlotScatterDiagram_Callback", false, false),
      item("&CCDF", "menuPlotCCDF", "menuPlotCCDF_Callback", true),
      item("&Verify Frame...", "menuPlotVerify", "menuPlotVerify_Callback", true),
      menu("&Configuration", "menuConfig"),
      item("&Sig Gen I/O", "menuConfigSigGenIO", "menuConfigSigGenIO_Callback"),
      item("&Receiver Test...", "menuConfigReceiverTest", "menuConfigReceiverTest_Callback"),
      // A command the window module does not have: the item stays hidden.
      item("Spec &An I/O", "menuConfigSpecAnIO", "menuConfigSpecAnIO_Callback", false, false),
      {1, {"&Baseband Generator", "menuConfigBBG1", "", true}, true},
      {2, {"Option 00&1 (8 Msamples)", "menuConfigBBG1Opt1", callback("menuConfigBBG1Opt1_Callback")}, true},
      {2, {"Option 00&2 (32 Msamples)", "menuConfigBBG1Opt2", callback("menuConfigBBG1Opt2_Callback")}, true},
      menu("&Special", "menuSpecial", false),
      item("Save &Wave...", "menuSpecialSaveWave", "menuSpecialSaveWave_Callback"),
      item("&Impairments", "menuSpecialImpairments", "menuSpecialSaveWave_Callback", false, false, false),
      menu("&Help", "menuHelp"),
      item("&About", "menuHelpAbout", "menuHelpAbout_Callback"),
  };
  return rows;
}

}  // namespace

rt::Value addMenus(toolkit::Handle window) {
  const bool platformC = globalText("appInfo", "Platform") == "c";
  rt::Value headers = rt::Value::record();
  toolkit::Handle parents[2] = {toolkit::kScreen, toolkit::kScreen};  // the current menu, the current sub-menu
  for (const MenuRow& row : menuTable()) {
    if (row.platformCOnly && !platformC) continue;
    const toolkit::Handle parent = row.level == 0 ? window : parents[row.level - 1];
    const toolkit::Handle h = toolkit::current().addMenu(parent, row.entry);
    if (row.level < 2) parents[row.level] = h;
    if (row.level == 0) {
      // "menuConfig" is the record's Config: the tags without their "menu" prefix.
      headers.setField(row.entry.tag.substr(4), rt::Value::scalar(h));
    }
  }
  return headers;
}

}  // namespace dot11b::windows::app_window
