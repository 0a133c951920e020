// SPDX-License-Identifier: GPL-3.0-or-later
// The splash window shown while the application starts, and the About window.
#pragma once

#include <QImage>
#include <string>
#include <vector>

#include "runtime/registry.h"
#include "toolkit/toolkit.h"

namespace dot11b::qt {

// A frameless window in the middle of the screen with the logo and the application's name; shown at once.
toolkit::Handle showSplash(const QImage& logo, const std::string& name);

// The About window beside `parent`: the logo and the lines of text, the first in bold; closed by its
// button. Shown at once; not modal.
toolkit::Handle showAbout(toolkit::Handle parent, const QImage& logo, const std::vector<std::string>& lines);

// An image from three 8-bit colour planes (rows x columns each, column-major).
QImage imageFromPlanes(const rt::Values& planes);

// Writes the image of a window as it is drawn now (PNG, JPEG, ... by the file's extension).
void saveWindowImage(toolkit::Handle window, const std::string& filename);

// Sets the point size of every font in the window to `factor` times the application's.
void resizeAllFonts(toolkit::Handle window, double factor);

}  // namespace dot11b::qt
