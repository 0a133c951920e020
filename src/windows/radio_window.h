// SPDX-License-Identifier: GPL-3.0-or-later
// The application window with a radio as its signal generator: the RF output button, the status line of
// the loop that plays (read twice a second), the one message when the radio fails, the advanced settings a
// radio does not have, and the loop stopped when the connection changes or the application ends. The radio
// is reached only through the library's routines by name.
#pragma once

#include <string>

#include "runtime/value.h"
#include "toolkit/toolkit.h"

namespace dot11b::windows::radio_window {

// Whether the connection record `configuration` is a radio.
bool onRadio();
// A Download on the radio starts: the status line follows its loop from now on.
void downloadStarted();
// Stops the loop that plays, if one was started, with `reason` ("the connection changed").
void stopPlaying(const std::string& reason);

// Starts the status line of the main window (`handles` its control record).
void startStatusLine(const rt::Value& handles);
// Shows the loop's status in lblRadioStatus; the first time a loop has failed, says so in a message box.
void updateStatusLine(const rt::Value& handles);

// RF On/Off: stored as SigGenSettings.RFOutput; a radio that plays stops or starts at once, an instrument
// is sent its output state.
void tbRFOutput(toolkit::Handle h, const rt::Value& handles);

// Disables the advanced settings a radio does not have, with a tool tip saying why; false when the
// connection is an instrument (the caller then gives the controls back their own tool tips).
bool showRadioLimits(const rt::Value& advancedHandles);

}  // namespace dot11b::windows::radio_window
