// SPDX-License-Identifier: GPL-3.0-or-later
// Loading and placing windows, as every window module does it.
#pragma once

#include <string_view>

#include "runtime/shared_api.h"
#include "toolkit/toolkit.h"

namespace dot11b::toolkit {

// Opens the layout hidden, keeps the window's control record as its application data, and places it
// relative to `parent` (kScreen: the screen).
DOT11B_SHARED Handle loadFigure(std::string_view layout, Handle parent);

// Centres `child` on `parent` (or on the screen), keeping its size and keeping it on the screen.
DOT11B_SHARED void positionChildWindow(Handle child, Handle parent);

// Moves a window: "center", "north", "south", "east", "west", "northeast", "northwest", "southeast",
// "southwest" on the screen, or "onscreen" (only as far as needed to be wholly visible).
DOT11B_SHARED void moveWindow(Handle window, std::string_view where);

}  // namespace dot11b::toolkit
