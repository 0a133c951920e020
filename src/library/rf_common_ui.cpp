// SPDX-License-Identifier: GPL-3.0-or-later
// The application window module RfCommonUI, its menu bar and its time stamps for the calling forms.
#include "runtime/binding.h"
#include "runtime/export_macros.h"
#include "settings/clock_text.h"
#include "windows/app_window.h"
#include "windows/window_module.h"

namespace dot11b::rt {

namespace {

Values vxAddMenu(const Values& in, int) {
  if (in.empty()) return {Value()};
  return {windows::app_window::addMenus(windows::handleInput(in, 0))};
}

Values clock2str(const Values& in, int) {
  return {Value::text(settings::clock2str(input(in, 0, {"Clock2str", "clkVector"})))};
}

void registerRfCommonUI(Registry& r) {
  r.add(moduleRoutine("RfCommonUI", windows::app_window::module()));
  r.add({"VX_AddMenu", "VX_AddMenu", 1, 1, 1, vxAddMenu});
  r.add({"Clock2str", "clock2str", 1, 1, 1, clock2str});
}

}  // namespace

DOT11B_REGISTER_ROUTINES(registerRfCommonUI)

}  // namespace dot11b::rt

DOT11B_EXPORT_VARIABLE(RfCommonUI)
DOT11B_EXPORT_1(VX_AddMenu, 1)
DOT11B_EXPORT_1(Clock2str, 1)
