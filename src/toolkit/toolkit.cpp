#include "shell/toolkit.h"

#include <stdexcept>

#include "shell/window_system.h"

namespace dot11b::shell {

namespace {
Toolkit* installed = nullptr;
}

Toolkit& toolkit() {
  // The window system installs its toolkit when it is opened.
  if (installed == nullptr) windowSystem();
  if (installed == nullptr) throw std::runtime_error("no window system is available in this process");
  return *installed;
}

bool hasToolkit() { return installed != nullptr; }

void setToolkit(Toolkit* t) { installed = t; }

}  // namespace dot11b::shell
