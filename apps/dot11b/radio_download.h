// SPDX-License-Identifier: GPL-3.0-or-later
// dot11b download on a radio: the loop that the library's playback set-up started plays until Ctrl-C (or
// SIGTERM, SIGHUP), for --duration seconds, or until the radio fails; then the radio is let go.
#pragma once

#include <optional>

#include "command.h"
#include "ctrl_c.h"

namespace dot11b::cli {

// --duration S, for a radio only: how long the loop plays (nothing: until Ctrl-C). Throws
// std::invalid_argument for a duration shorter than a frame.
std::optional<double> takeLoopDuration(Args& args);

// Waits for the end of the loop that plays, stops it and says how it went; the exit status (1 when the
// radio failed).
int playUntilStopped(std::optional<double> duration, const CtrlCStop& ctrlC);

}  // namespace dot11b::cli
