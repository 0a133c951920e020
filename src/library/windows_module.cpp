// SPDX-License-Identifier: GPL-3.0-or-later
// The window system, its utilities and the plot windows are built as a module of their own
// (libDot11b_windows.so, beside the library) because they link Qt and QCustomPlot with some forty
// libraries behind them. It is opened by the first call of one of its routines or the first use of the
// toolkit, so that a host that only computes frames loads none of it.
#include "runtime/library.h"
#include "toolkit/window_system.h"

namespace dot11b::rt {

namespace {

constexpr const char* kWindowModule = "libDot11b_windows.so";

void registerWindowsModule(Registry&) {
  addRoutineModule(kWindowModule);
  toolkit::setWindowSystemOpener([] { openRoutineModules(); });
}

}  // namespace

DOT11B_REGISTER_ROUTINES(registerWindowsModule)

}  // namespace dot11b::rt
