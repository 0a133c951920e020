// SPDX-License-Identifier: GPL-3.0-or-later
// A radio that cannot be found, refuses a setting or fails while streaming. The message names the radio
// and, for a setting, the value refused.
#pragma once

#include <stdexcept>

namespace dot11b::sdr {

struct RadioError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace dot11b::sdr
