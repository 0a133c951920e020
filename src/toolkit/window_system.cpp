// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/window_system.h"

#include <stdexcept>

namespace dot11b::toolkit {

namespace {

WindowSystem* opened = nullptr;

std::function<void()>& opener() {
  static std::function<void()> open;
  return open;
}

}  // namespace

WindowSystem& windowSystem() {
  if (opened == nullptr && opener()) opener()();
  if (opened == nullptr) throw std::runtime_error("no window system is available in this process");
  return *opened;
}

WindowSystem* openWindowSystem() { return opened; }

void setWindowSystem(WindowSystem* w) { opened = w; }

void setWindowSystemOpener(std::function<void()> open) { opener() = std::move(open); }

}  // namespace dot11b::toolkit
