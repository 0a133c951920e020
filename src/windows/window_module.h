// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers for the window modules' sub-routines, which take the inputs of their callback texts:
// (the control that fired, empty event data, the window's control record).
#pragma once

#include <initializer_list>
#include <string_view>

#include "runtime/dispatch.h"
#include "runtime/library.h"
#include "runtime/shared_api.h"
#include "toolkit/toolkit.h"

namespace dot11b::windows {

using ControlCallback = void (*)(toolkit::Handle control, const rt::Value& handles);
using HandlesRoutine = void (*)(const rt::Value& handles);

// A callback sub-routine: inputs (control, event data, handles), no result.
rt::RoutineFn callbackRoutine(ControlCallback fn);
// A sub-routine of the control record alone, as redraw(handles).
rt::RoutineFn handlesRoutine(HandlesRoutine fn);

// A callback sub-routine by name, for a module's table of them.
struct NamedCallback {
  const char* name;
  ControlCallback fn;
};
// Adds the callbacks to the module, the first beginning at `line` and each `lineStep` lines after the last.
DOT11B_SHARED void addCallbacks(rt::WindowModule& module, std::initializer_list<NamedCallback> callbacks, int line,
                                int lineStep);

// Input i of a sub-routine as a handle (0 when left out or empty) or as a control record.
toolkit::Handle handleInput(const rt::Values& in, std::size_t i);
const rt::Value& recordInput(const rt::Values& in, std::size_t i);

// A numeric or text field of one of the library's global records.
double globalNumber(std::string_view record, std::string_view field);
std::string globalText(std::string_view record, std::string_view field);
void setGlobalNumber(std::string_view record, std::string_view field, double value);

// A modal dialog's answer ("OK", "Cancel"), kept in its window's data; it ends the dialog's wait.
void answerDialog(toolkit::Handle figure, std::string_view answer);
// Shows the dialog and waits for its answer, "Cancel" when it was closed without one; the dialog is then
// hidden, for the caller to keep or close.
std::string waitForAnswer(toolkit::Handle figure);

// Calls another window module's sub-routine by name, as its callback texts do.
void callModule(std::string_view module, std::string_view subroutine, rt::Values rest = {});

}  // namespace dot11b::windows
