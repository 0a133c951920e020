// SPDX-License-Identifier: GPL-3.0-or-later
// The window system as the window modules see it: windows, controls and menu items are numeric handles,
// their properties are read and set by name as array values, and a window is loaded from its layout by
// name. The window supplies a Qt implementation; tests of the modules supply one without widgets.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/shared_api.h"
#include "runtime/value.h"

namespace dot11b::toolkit {

// 0 is the screen; every other handle names a window, a control or a menu item.
using Handle = double;
inline constexpr Handle kScreen = 0;

// One menu or menu item added to a window's menu bar (parent = the window) or to a menu.
struct MenuEntry {
  std::string label;     // "&File": the ampersand marks the letter that selects it from the keyboard
  std::string tag;
  std::string callback;  // "rfCommonUI('menuFileNew_Callback',gcbo,[],guidata(gcbo))"; "" for a menu
  bool separatorAbove = false;
  bool visible = true;
  bool enabled = true;
  bool checked = false;
};

// Starts `program` (found on the PATH) with `file` as its argument and lets it run on its own: whether it
// started, false when it is not installed.
DOT11B_SHARED bool startProgram(const std::string& program, const std::string& file);

class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // Properties by name:
  //   Value          number: a pop-up list's entry (from 1), a check box's or toggle button's state
  //   String         text of an edit field, label or button; a pop-up list's entries as a cell list
  //   Enable, Visible, Checked   "on" or "off"
  //   TooltipString, Tag, Label (of a menu item), Callback, CloseRequestFcn, Name (a window's title)
  //   Position       [x y width height] in Units, x from the screen's left, y from its bottom
  //   Units          "pixels" or "normalized" (fractions of the screen)
  //   Pointer        a window's mouse pointer: "arrow" or "watch"
  //   Parent, Children   handles
  // Reading or setting a property a handle does not have, or using a handle that is not valid (its window
  // has closed), throws an error that names the handle and the property.
  virtual rt::Value get(Handle h, std::string_view property) const = 0;
  virtual void set(Handle h, std::string_view property, const rt::Value& value) = 0;
  virtual bool isValid(Handle h) const = 0;

  // Loads a window from its layout ("dot11b_GUI_c", "VX_SigGen", ...), hidden.
  virtual Handle openFigure(std::string_view layout) = 0;
  // Destroys the window with everything in it; its handles become invalid.
  virtual void close(Handle window) = 0;
  // The window that holds h (a window is its own).
  virtual Handle windowOf(Handle h) const = 0;
  // Every handle of the window that has a tag, the window first, as a record tag -> handle.
  virtual rt::Value controlRecord(Handle window) const = 0;
  // The value a window carries for the application (empty until set).
  virtual rt::Value appData(Handle window) const = 0;
  virtual void setAppData(Handle window, const rt::Value& data) = 0;

  // Makes the window visible and brings it to the front.
  virtual void show(Handle window) = 0;
  // Modal wait: returns once resume(window) was called or the window was destroyed; other windows take
  // no input meanwhile.
  virtual void waitFor(Handle window) = 0;
  virtual void resume(Handle window) = 0;

  // Moves the tagged controls of a layout into the window ("addControls"): a control whose tag the window
  // has already is dropped in favour of the window's own. Returns the handles of the layout's tagged
  // controls, in the window, from last to first.
  virtual std::vector<Handle> addControls(Handle window, std::string_view layout) = 0;

  virtual Handle addMenu(Handle parent, const MenuEntry& item) = 0;

  // Waits, keeping every window drawn and responsive meanwhile.
  virtual void processEventsFor(int milliseconds) = 0;

  // Calls `tick` every `milliseconds` on the user-interface thread while `window` lives (a status that
  // changes on its own, as a radio's that plays). A toolkit without a clock never calls it.
  virtual void every(Handle window, int milliseconds, std::function<void()> tick) {
    (void)window, (void)milliseconds, (void)tick;
  }

  // Starts the desktop program `program` on `file`: whether it started (startProgram).
  virtual bool openWith(const std::string& program, const std::string& file) { return startProgram(program, file); }
};

// The toolkit in use; throws when none is installed (the library runs without windows).
DOT11B_SHARED Toolkit& current();
// Whether a toolkit is installed; asking never opens the window system.
bool installed();
// Installs `t` (not owned; it must outlive its use); nullptr removes it.
DOT11B_SHARED void install(Toolkit* t);

}  // namespace dot11b::toolkit
