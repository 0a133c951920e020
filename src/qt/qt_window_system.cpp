// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/qt_window_system.h"

#include "qt/application.h"
#include "qt/qt_dialogs.h"
#include "qt/qt_toolkit.h"

namespace dot11b::qt {

namespace {

class QtWindowSystem : public toolkit::WindowSystem {
 public:
  toolkit::Dialogs* runningDialogs() override { return applicationRunning() ? &qtDialogs() : nullptr; }
  void runUntilWindowsClosed() override { qt::runUntilWindowsClosed(); }
  void setWaitHook(std::function<void(toolkit::Handle)> hook) override { qtToolkit().setWaitHook(std::move(hook)); }
};

}  // namespace

toolkit::WindowSystem& qtWindowSystem() {
  static QtWindowSystem system;
  return system;
}

}  // namespace dot11b::qt
