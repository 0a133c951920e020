// SPDX-License-Identifier: GPL-3.0-or-later
// The figure and window utilities for the calling forms, on the Qt toolkit, and the routines by which a
// host drives the windows by name: Get, Set, Invoke and Findobj.
#include <algorithm>
#include <exception>
#include <iostream>

#include "qt/callbacks.h"
#include "qt/figure_files.h"
#include "qt/handle_table.h"
#include "qt/image_reader.h"
#include "qt/info_windows.h"
#include "qt/progress_work.h"
#include "qt/qt_toolkit.h"
#include "qt/qt_window_system.h"
#include "runtime/binding.h"
#include "settings/start_values.h"
#include "toolkit/figures.h"
#include "toolkit/long_work.h"
#include "windows/window_module.h"

namespace dot11b::rt {

namespace {

using toolkit::Handle;
using toolkit::current;

constexpr const char* kLogo = "logo.jpg";

Handle handleArg(const Values& in, std::size_t i, std::string_view routine, std::string_view name) {
  return toScalar(input(in, i, {routine, name}), {routine, name});
}

// The logo; a window without it still shows its texts.
QImage logo() {
  try {
    return qt::imageFromPlanes(callByName("Imread", {Value::text(qt::imageFile(kLogo).toStdString())}, 3));
  } catch (const std::exception& e) {
    std::cerr << e.what() << std::endl;
    return QImage();
  }
}

Values vxSplash(const Values&, int) {
  const std::string name = settings::initialAppInfo().field("Name").toUtf8();
  return {Value::scalar(qt::showSplash(logo(), name))};
}

Values vxAbout(const Values& in, int) {
  const Inputs args(in, "VX_About");
  const Handle parent = args.given(0) ? args.scalar(0, "hParent") : toolkit::kScreen;
  const Value& appInfo = args.record(1, "appInfo");
  std::vector<std::string> lines;
  const auto line = [&appInfo, &lines](std::string_view field, std::string prefix = "") {
    const Value* v = appInfo.findField(field);
    if (v != nullptr && v->isText()) lines.push_back(prefix + v->toUtf8());
  };
  line("Name");
  line("Rev", "Revision ");
  line("Date", "Released ");
  line("CopyrightMsg");
  lines.push_back("");
  for (const char* f : {"Notes", "NotesLine2", "NotesLine3", "NotesLine4", "NotesLine5", "NotesLine6", "NotesLine7"})
    line(f);
  return {Value::scalar(qt::showAbout(parent, logo(), lines))};
}

Values guidata(const Values& in, int) {
  const Handle window = toolkit::current().windowOf(handleArg(in, 0, "Guidata", "h"));
  if (in.size() >= 2) {
    toolkit::current().setAppData(window, in[1]);
    return {};
  }
  return {toolkit::current().appData(window)};
}

Values guihandles(const Values& in, int) {
  return {toolkit::current().controlRecord(toolkit::current().windowOf(handleArg(in, 0, "Guihandles", "h")))};
}

Values loadFigure(const Values& in, int) {
  const Inputs args(in, "LoadFigure");
  const Handle parent = args.given(1) ? args.scalar(1, "hParent") : toolkit::kScreen;
  return {Value::scalar(toolkit::loadFigure(args.text(0, "figureName"), parent))};
}

Values openfig(const Values& in, int) {
  const Handle window = toolkit::current().openFigure(Inputs(in, "Openfig").text(0, "figureName"));
  toolkit::current().show(window);
  return {Value::scalar(window)};
}

Values movegui(const Values& in, int) {
  const Inputs args(in, "Movegui");
  toolkit::moveWindow(toolkit::current().windowOf(args.scalar(0, "h")),
                      args.given(1) ? args.text(1, "position") : "onscreen");
  return {};
}

Values positionChildWindow(const Values& in, int) {
  const Inputs args(in, "PositionChildWindow");
  toolkit::positionChildWindow(args.scalar(0, "hChild"), args.given(1) ? args.scalar(1, "hParent") : toolkit::kScreen);
  return {};
}

Values resizeAllFonts(const Values& in, int) {
  const Inputs args(in, "ResizeAllFonts");
  qt::resizeAllFonts(toolkit::current().windowOf(args.scalar(0, "hFigure")),
                     args.given(1) ? args.scalar(1, "factor") : 1.0);
  return {};
}

Values imread(const Values& in, int) { return qt::readImage(Inputs(in, "Imread").text(0, "filename"), false); }
Values readjpg(const Values& in, int) { return qt::readImage(Inputs(in, "Readjpg").text(0, "filename"), true); }
Values rjpgc(const Values& in, int) { return qt::readImage(Inputs(in, "Rjpgc").text(0, "filename"), true); }

Values get(const Values& in, int) {
  const Inputs args(in, "Get");
  return {toolkit::current().get(args.scalar(0, "h"), args.text(1, "property"))};
}

Values set(const Values& in, int) {
  const Inputs args(in, "Set");
  toolkit::current().set(args.scalar(0, "h"), args.text(1, "property"), args.at(2, "value"));
  return {};
}

// Acts on a control as the user does: chooses the list entry it shows, clicks it, ends its edit, picks
// the menu item or asks the window to close.
Values invoke(const Values& in, int) {
  qt::actOn(qt::HandleTable::instance().get(Inputs(in, "Invoke").scalar(0, "h")));
  return {};
}

Values saveWindowImage(const Values& in, int) {
  const Inputs args(in, "SaveWindowImage");
  qt::saveWindowImage(toolkit::current().windowOf(args.scalar(0, "h")), args.text(1, "filename"));
  return {};
}

// Waits, keeping the windows drawn and responsive: a host's script lets time pass with it.
Values pause(const Values& in, int) {
  const double seconds = Inputs(in, "Pause").scalar(0, "seconds");
  if (!(seconds >= 0) || seconds > 3600) throw std::invalid_argument("Pause: the time must be 0 to 3600 seconds");
  toolkit::current().processEventsFor(static_cast<int>(seconds * 1000));
  return {};
}

// The handles of everything open with this tag, windows first.
Values findobj(const Values& in, int) {
  const std::string tag = Inputs(in, "Findobj").text(0, "tag");
  std::vector<double> found;
  for (const Handle window : qt::HandleTable::instance().windows()) {
    const Value record = toolkit::current().controlRecord(window);
    if (const Value* h = record.findField(tag)) found.push_back(h->re(0));
  }
  return {Value::row(std::move(found))};
}

void registerWindowUtilities(Registry& r) {
  toolkit::install(&qt::qtToolkit());
  toolkit::setWindowSystem(&qt::qtWindowSystem());
  // Long work goes beside a progress dialog once the window system runs (inline without it).
  toolkit::setLongWork(&qt::progressWork());
  r.add({"VX_Splash", "VX_Splash", 1, 0, 1, vxSplash});
  r.add({"VX_About", "VX_About", 1, 2, 1, vxAbout});
  r.add({"Guidata", "guidata", 1, 2, 1, guidata});
  r.add({"Guihandles", "guihandles", 1, 1, 1, guihandles});
  r.add({"LoadFigure", "LoadFigure", 1, 2, 1, loadFigure});
  r.add({"Openfig", "openfig", 1, 1, 1, openfig});
  r.add({"Movegui", "movegui", 1, 2, 0, movegui});
  r.add({"PositionChildWindow", "PositionChildWindow", 1, 2, 0, positionChildWindow});
  r.add({"ResizeAllFonts", "ResizeAllFonts", 1, 2, 0, resizeAllFonts});
  r.add({"Imread", "imread", 1, 1, 3, imread});
  r.add({"Readjpg", "readjpg", 1, 1, 3, readjpg});
  r.add({"Rjpgc", "rjpgc", 1, 1, 3, rjpgc});
  r.add({"Get", "get", 1, 2, 1, get});
  r.add({"Set", "set", 1, 3, 0, set});
  r.add({"Invoke", "invoke", 1, 1, 0, invoke});
  r.add({"Findobj", "findobj", 1, 1, 1, findobj});
  r.add({"SaveWindowImage", "SaveWindowImage", 1, 2, 0, saveWindowImage});
  r.add({"Pause", "pause", 1, 1, 0, pause});
}

}  // namespace

DOT11B_REGISTER_ROUTINES(registerWindowUtilities)

}  // namespace dot11b::rt
