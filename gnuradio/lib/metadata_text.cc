// SPDX-License-Identifier: GPL-3.0-or-later
#include "metadata_text.h"

#include "runtime/shortest_text.h"

namespace gr {
namespace dot11b {

std::optional<std::string> metadata_text(const pmt::pmt_t& value)
{
    if (pmt::is_symbol(value))
        return pmt::symbol_to_string(value);
    if (pmt::is_bool(value))
        return pmt::to_bool(value) ? "1" : "0";
    if (pmt::is_integer(value))
        return std::to_string(pmt::to_long(value));
    if (pmt::is_uint64(value))
        return std::to_string(pmt::to_uint64(value));
    if (pmt::is_real(value))
        return number_text(pmt::to_double(value));
    return std::nullopt;
}

std::string number_text(double value) { return ::dot11b::rt::shortestText(value); }

} // namespace dot11b
} // namespace gr
