#include "shell/window_system.h"

#include <stdexcept>

namespace dot11b::shell {

namespace {

WindowSystem* installed = nullptr;

std::function<void()>& opener() {
  static std::function<void()> open;
  return open;
}

}  // namespace

WindowSystem& windowSystem() {
  if (installed == nullptr && opener()) opener()();
  if (installed == nullptr) throw std::runtime_error("no window system is available in this process");
  return *installed;
}

WindowSystem* openWindowSystem() { return installed; }

void setWindowSystem(WindowSystem* w) { installed = w; }

void setWindowSystemOpener(std::function<void()> open) { opener() = std::move(open); }

}  // namespace dot11b::shell
