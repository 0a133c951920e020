// SPDX-License-Identifier: GPL-3.0-or-later
// The MAC header dialog: the seven header fields edited as hexadecimal numbers, each with an on/off
// switch, and the bit stream rebuilt after every edit. The record being edited is the global MACheader.
#pragma once

#include <optional>
#include <string_view>

#include "runtime/dispatch.h"
#include "toolkit/toolkit.h"

namespace dot11b::windows::mac_header_dialog {

const rt::WindowModule& module();
// Dot11_MACconfig(fig [, record]): shows the dialog modally; returns answer ("OK"/"Cancel") and the record.
rt::Values run(const rt::Values& in, int nargout);

void initializeFigure(const rt::Value& handles);
void redrawMACfields(const rt::Value& handles);
void fieldCallback(toolkit::Handle h, const rt::Value& handles);

// Hexadecimal digits (surrounding blanks allowed) as a number, saturating at `limit`; nothing for empty
// text or any other character.
std::optional<double> hexValue(std::string_view text, double limit);

}  // namespace dot11b::windows::mac_header_dialog
