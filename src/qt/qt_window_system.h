// SPDX-License-Identifier: GPL-3.0-or-later
// The window system on Qt, as the library asks for it once the window module is open.
#pragma once

#include "toolkit/window_system.h"

namespace dot11b::qt {

toolkit::WindowSystem& qtWindowSystem();

}  // namespace dot11b::qt
