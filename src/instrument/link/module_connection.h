// SPDX-License-Identifier: GPL-3.0-or-later
// The connection record as the instrument I/O module takes it: its numeric fields as 32-bit integers,
// and its fields in the module's C structure.
#pragma once

#include <string>

#include "instrument/io/instrio.h"
#include "runtime/value.h"

namespace dot11b::instrument {

// A copy of the record in which each of GPIB.board, GPIB.primary, GPIB.secondary, RS232.port,
// RS232.baudrate and TCPIP.board that is present is a 32-bit integer (rounded half away from zero,
// limited to the range); every other field as it was, a missing one still missing. Formatting twice gives
// the same record. Throws std::invalid_argument for one of those fields that is not a real number.
rt::Value formatConfig(const rt::Value& config);

// The fields of the record's connection type in the module's structure; owns the texts it points to.
// Throws std::invalid_argument naming a field that is missing or of the wrong kind.
class ModuleConnection {
 public:
  explicit ModuleConnection(const rt::Value& config);
  ModuleConnection(const ModuleConnection&) = delete;
  ModuleConnection& operator=(const ModuleConnection&) = delete;

  const instrio_connection& record() const { return record_; }

 private:
  instrio_connection record_{};
  std::string type_, handshake_, address_;
};

}  // namespace dot11b::instrument
