// SPDX-License-Identifier: GPL-3.0-or-later
// The callback texts that controls and menu items carry, such as
// "rfCommonUI('menuFileNew_Callback',gcbo,[],guidata(gcbo))": the module and its sub-routine to run with
// the control that fired, empty event data and the window's control record.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dot11b::qt {

struct CallbackCall {
  std::string module;
  std::string subroutine;
};

// The call a callback text names; nothing for a text of any other form.
std::optional<CallbackCall> parseCallback(std::string_view text);

}  // namespace dot11b::qt
