// SPDX-License-Identifier: GPL-3.0-or-later
// The text a numeric edit field shows, chosen so that pressing Return on it stores the value it shows:
// the usual short form where that reads back as the stored value, otherwise the digits that need it
// (999999999 Hz in MHz is "999.999999", not "1000").
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace dot11b::windows {

// `shown` is the stored value in the field's unit; `readsBack` tells whether the field's callback would
// store the stored value again from a text.
std::string fieldText(double shown, const std::function<bool(const std::string& text)>& readsBack);

// x times 10^exponent as x's decimal digits give it: "2.4121" typed in GHz is 2412100000 Hz exactly, where
// the binary product can land one step beside it.
double timesPowerOfTen(double x, int exponent);

// A number typed in a unit of 10^exponent (kHz: 3), in the base unit, limited to highest, then lowest.
double entryInUnit(std::string_view text, int exponent, double lowest, double highest);

}  // namespace dot11b::windows
