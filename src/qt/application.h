// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt application the windows need. A host without a Qt application of its own gets one.
#pragma once

#include <string>

namespace dot11b::qt {

// Creates the QApplication when the process has none. Throws with a message that names the command-line
// tool and QT_QPA_PLATFORM=offscreen when no display can be reached, before Qt would abort the process.
void ensureApplication();
bool applicationRunning();

// Runs the event loop until every window of the library has closed; returns at once when none is open.
void runUntilWindowsClosed();

// Why the window system cannot start here, or "" when it can.
std::string displayProblem();

}  // namespace dot11b::qt
