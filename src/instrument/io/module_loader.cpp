// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/io/module_loader.h"

#include <dlfcn.h>

#include <cstdlib>
#include <stdexcept>

#include "runtime/modules.h"

namespace dot11b::instrio {
namespace {

void collectText(void* context, const char* text, size_t length) {
  static_cast<std::string*>(context)->assign(text, length);
}

std::string loaderReason() {
  const char* reason = ::dlerror();
  return reason != nullptr ? reason : "unknown reason";
}

}  // namespace

InstrioModule::InstrioModule(const std::string& file) {
  library_ = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library_ == nullptr) {
    throw std::runtime_error("the instrument I/O module " + file + " could not be loaded: " + loaderReason());
  }
  entry_ = reinterpret_cast<instrio_execute_fn>(::dlsym(library_, INSTRIO_ENTRY_NAME));
  if (entry_ == nullptr) {
    const std::string reason = loaderReason();
    ::dlclose(library_);
    throw std::runtime_error("the instrument I/O module " + file + " has no entry " + INSTRIO_ENTRY_NAME + ": " +
                             reason);
  }
}

InstrioModule::~InstrioModule() { ::dlclose(library_); }

const InstrioModule& InstrioModule::inUse() {
  static const InstrioModule module = [] {
    if (const char* named = std::getenv("DOT11B_INSTRIO_MODULE"); named != nullptr && *named != '\0') {
      return InstrioModule(named);
    }
    try {
      return InstrioModule(rt::ownFolder() + INSTRIO_MODULE_FILE);
    } catch (const std::runtime_error& besideFailure) {
      try {
        return InstrioModule(INSTRIO_MODULE_FILE);
      } catch (const std::runtime_error&) {
        throw besideFailure;  // the reason it failed where it belongs
      }
    }
  }();
  return module;
}

ModuleReply InstrioModule::execute(int32_t operation, const instrio_connection& connection,
                                   const instrio_arguments* arguments) const {
  ModuleReply reply;
  reply.status = entry_(operation, &connection, arguments, collectText, &reply.text);
  return reply;
}

}  // namespace dot11b::instrio
