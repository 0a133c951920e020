// SPDX-License-Identifier: GPL-3.0-or-later
// A PDU metadata value as the text a setting takes: a symbol as it is, a number in its shortest form, a
// boolean as 1 or 0.
#pragma once

#include <pmt/pmt.h>

#include <optional>
#include <string>

namespace gr {
namespace dot11b {

// Nothing for a value of another kind (a vector, a dictionary, ...).
std::optional<std::string> metadata_text(const pmt::pmt_t& value);

// A block parameter's number as a setting takes it.
std::string number_text(double value);

} // namespace dot11b
} // namespace gr
