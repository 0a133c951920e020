// SPDX-License-Identifier: GPL-3.0-or-later
// The files the windows read: their layouts (Qt Designer files) in the folder "figures" and the images in
// "images", both installed beside the library and found relative to it, never through the working folder.
#pragma once

#include <QString>
#include <QWidget>
#include <string_view>

namespace dot11b::qt {

// The folder that holds the library file.
QString libraryFolder();
// The full name of an image file beside the library ("logo.jpg").
QString imageFile(std::string_view name);

// A new widget tree from "<name>.ui", without a parent. Throws naming the file when it cannot be read.
QWidget* loadLayout(std::string_view name);

}  // namespace dot11b::qt
