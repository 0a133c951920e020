// SPDX-License-Identifier: GPL-3.0-or-later
// The instrument as the download and playback routines use it: one call per bus operation.
#pragma once

#include <string>

#include "instrument/link/link_reply.h"

namespace dot11b::instrument {

class InstrumentLink {
 public:
  virtual ~InstrumentLink() = default;
  // Sends one command (HwSend).
  virtual LinkReply send(const std::string& command) = 0;
  // Returns the instrument to front-panel control (HwReturnLocal).
  virtual LinkReply returnToLocal() = 0;
};

}  // namespace dot11b::instrument
