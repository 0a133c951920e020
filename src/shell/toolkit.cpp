#include "shell/toolkit.h"

#include <stdexcept>

namespace dot11b::shell {

namespace {
Toolkit* installed = nullptr;
}

Toolkit& toolkit() {
  if (installed == nullptr) throw std::runtime_error("no window system is available in this process");
  return *installed;
}

bool hasToolkit() { return installed != nullptr; }

void setToolkit(Toolkit* t) { installed = t; }

}  // namespace dot11b::shell
