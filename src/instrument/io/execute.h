// SPDX-License-Identifier: GPL-3.0-or-later
// One call of the module: check the inputs, open the connection, run the operation, close.
#pragma once

#include <cstdint>
#include <string>

#include "instrument/io/instrio.h"

namespace dot11b::instrio {

struct Outcome {
  int32_t status = INSTRIO_OK;
  std::string text;  // reply of a ping or query; what failed otherwise
};

// Never throws: every failure becomes a status and a text. Inputs are checked before the
// connection is opened, so a refused input sends nothing.
Outcome execute(int32_t operation, const instrio_connection* connection, const instrio_arguments* arguments) noexcept;

}  // namespace dot11b::instrio
