// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/toolkit.h"

#include <stdexcept>

#include "toolkit/window_system.h"

namespace dot11b::toolkit {

namespace {
Toolkit* inUse = nullptr;
}

Toolkit& current() {
  // The window system installs its toolkit when it is opened.
  if (inUse == nullptr) windowSystem();
  if (inUse == nullptr) throw std::runtime_error("no window system is available in this process");
  return *inUse;
}

bool installed() { return inUse != nullptr; }

void install(Toolkit* t) { inUse = t; }

}  // namespace dot11b::toolkit
