// SPDX-License-Identifier: GPL-3.0-or-later
// The instrument connection dialog: GPIB, RS-232 or TCP/IP, with a connection test. Built for each call,
// shown modally and destroyed afterwards; it returns "OK" or "Cancel" and the edited connection record.
#pragma once

#include <string>
#include <vector>

#include "runtime/dispatch.h"
#include "toolkit/toolkit.h"

namespace dot11b::windows::connection_dialog {

const rt::WindowModule& module();
// VX_SigGen(parent, configuration, platform), every input optional.
rt::Values run(const rt::Values& in, int nargout);

// The start values of the nine connection fields, set in `record` (other fields kept).
rt::Value initConfig(rt::Value record);
// A record of the earlier layout (Connection, GPIBboard, ...) in the current one; others unchanged.
rt::Value reStructureConfig(rt::Value old, const rt::Value& handles);
int convertStringToIndex(toolkit::Handle list, const std::string& text);
std::string convertIndexToString(toolkit::Handle list, double index);
void updateGuiObjects(const rt::Value& handles, const rt::Value& record);
rt::Value updateConfig(const rt::Value& handles);
void showControls(const rt::Value& handles);

}  // namespace dot11b::windows::connection_dialog
