// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/link/module_link.h"

#include <utility>

namespace dot11b::instrument {
namespace {

int32_t askCancelled(void* context, uint64_t, uint64_t) {
  return (*static_cast<std::function<bool()>*>(context))() ? 1 : 0;
}

}  // namespace

ModuleLink::ModuleLink(const instrio::InstrioModule& module, const ModuleConnection& connection,
                       std::function<bool()> cancelled)
    : module_(module), connection_(connection), cancelled_(std::move(cancelled)) {}

LinkReply ModuleLink::send(const std::string& command) { return execute(INSTRIO_SEND, command.c_str()); }

LinkReply ModuleLink::returnToLocal() { return execute(INSTRIO_RETURN_LOCAL, nullptr); }

LinkReply ModuleLink::execute(int32_t operation, const char* text) {
  instrio_arguments arguments{};
  arguments.text = text;
  if (cancelled_) {
    arguments.progress = &askCancelled;
    arguments.progress_context = &cancelled_;
  }
  const instrio::ModuleReply reply = module_.execute(operation, connection_.record(), &arguments);
  return {reply.status, reply.text};
}

}  // namespace dot11b::instrument
