#include "ui/qt_window_system.h"

#include "ui/application.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_toolkit.h"

namespace dot11b::ui {

namespace {

class QtWindowSystem : public shell::WindowSystem {
 public:
  shell::Dialogs* runningDialogs() override { return applicationRunning() ? &qtDialogs() : nullptr; }
  void runUntilWindowsClosed() override { ui::runUntilWindowsClosed(); }
  void setWaitHook(std::function<void(shell::Handle)> hook) override { qtToolkit().setWaitHook(std::move(hook)); }
};

}  // namespace

shell::WindowSystem& qtWindowSystem() {
  static QtWindowSystem system;
  return system;
}

}  // namespace dot11b::ui
