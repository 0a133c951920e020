// SPDX-License-Identifier: GPL-3.0-or-later
// What a window does when the user closes it: it runs its close request (CloseRequestFcn) instead of
// closing, when it has one; Escape in a dialog does the same.
#pragma once

#include <QWidget>

namespace dot11b::qt {

void routeCloseRequests(QWidget* window);

}  // namespace dot11b::qt
