// SPDX-License-Identifier: GPL-3.0-or-later
// The radio group of the connection dialog: the device arguments, Find (the radios SoapySDR finds, one
// of which fills the arguments), the antenna, the channel and the level offset.
#pragma once

#include "runtime/value.h"
#include "settings/radio_connection.h"
#include "toolkit/controls.h"

namespace dot11b::windows::connection_dialog {

// The list entry of the radio, and the type it stands for.
inline constexpr const char* kRadioEntry = "Radio (SoapySDR)";

void showRadio(const toolkit::Window& dialog, const rt::Value& record);
// The radio's fields as typed: a channel or offset that is not a number keeps `before`'s.
settings::RadioConnection radioInDialog(const toolkit::Window& dialog, const settings::RadioConnection& before);
// The record with the radio's fields of the dialog; its type stays as it is.
rt::Value withRadioFields(rt::Value record, const settings::RadioConnection& radio);

void pbFindRadios(toolkit::Handle h, const rt::Value& handles);
void pmRadios(toolkit::Handle h, const rt::Value& handles);

}  // namespace dot11b::windows::connection_dialog
