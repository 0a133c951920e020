// SPDX-License-Identifier: GPL-3.0-or-later
// The instrument reached through the I/O module directly: each command is one module call with the
// operation and the record that HwSend and HwReturnLocal pass. It uses only what it was given, so the
// sequence may run away from the window's thread.
#pragma once

#include <functional>
#include <string>

#include "instrument/io/module_loader.h"
#include "instrument/link/instrument_link.h"
#include "instrument/link/module_connection.h"

namespace dot11b::instrument {

class ModuleLink final : public InstrumentLink {
 public:
  // cancelled: asked while the module waits for the connection or a reply; true ends the wait, and the
  // call returns INSTRIO_CANCELLED. module and connection must outlive the link.
  ModuleLink(const instrio::InstrioModule& module, const ModuleConnection& connection, std::function<bool()> cancelled);

  LinkReply send(const std::string& command) override;
  LinkReply returnToLocal() override;

 private:
  LinkReply execute(int32_t operation, const char* text);

  const instrio::InstrioModule& module_;
  const ModuleConnection& connection_;
  std::function<bool()> cancelled_;
};

}  // namespace dot11b::instrument
