// SPDX-License-Identifier: GPL-3.0-or-later
// The failure of one instrument operation: the status the module returns and the text shown to the user.
#pragma once

#include <stdexcept>
#include <string>

#include "instrument/io/instrio.h"

namespace dot11b::instrio {

class BusError : public std::runtime_error {
 public:
  BusError(instrio_status status, const std::string& text) : std::runtime_error(text), status_(status) {}
  instrio_status status() const { return status_; }

 private:
  instrio_status status_;
};

}  // namespace dot11b::instrio
