// The window system on Qt, as the library asks for it once the window module is open.
#pragma once

#include "shell/window_system.h"

namespace dot11b::ui {

shell::WindowSystem& qtWindowSystem();

}  // namespace dot11b::ui
