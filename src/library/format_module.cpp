// SPDX-License-Identifier: GPL-3.0-or-later
// The library's top entry and the format module's dispatching entry.
#include "runtime/export_macros.h"
#include "runtime/library.h"
#include "windows/format_panel.h"

namespace dot11b::rt {

namespace {

// Without inputs the format module builds the application; a first input that is not text does nothing.
Values startWithoutInputs(const Values& in, int nargout) {
  return in.empty() ? windows::format_panel::startApplication(in, nargout) : Values{};
}

void registerFormatModule(Registry& r) {
  r.add(moduleRoutine("Dot11b_GUI_c", windows::format_panel::module(), startWithoutInputs));
  r.add({"Dot11b_c", "Dot11b_c", 1, 0, 0, [](const Values&, int) {
           callByName("Dot11b_GUI_c", {}, 0);
           return Values{};
         }});
}

}  // namespace

DOT11B_REGISTER_ROUTINES(registerFormatModule)

}  // namespace dot11b::rt

DOT11B_EXPORT_VOID(Dot11b_c)
DOT11B_EXPORT_VARIABLE(Dot11b_GUI_c)
