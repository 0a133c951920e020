// The toolkit interface of the window modules on Qt widgets.
#pragma once

#include <QEventLoop>
#include <QPointer>
#include <functional>
#include <map>

#include "shell/toolkit.h"

namespace dot11b::ui {

class QtToolkit : public shell::Toolkit {
 public:
  rt::Value get(shell::Handle h, std::string_view property) const override;
  void set(shell::Handle h, std::string_view property, const rt::Value& value) override;
  bool isValid(shell::Handle h) const override;

  shell::Handle openFigure(std::string_view layout) override;
  void close(shell::Handle window) override;
  shell::Handle windowOf(shell::Handle h) const override;
  rt::Value controlRecord(shell::Handle window) const override;
  rt::Value appData(shell::Handle window) const override;
  void setAppData(shell::Handle window, const rt::Value& data) override;

  void show(shell::Handle window) override;
  void waitFor(shell::Handle window) override;
  void resume(shell::Handle window) override;

  std::vector<shell::Handle> addControls(shell::Handle window, std::string_view layout) override;
  shell::Handle addMenu(shell::Handle parent, const shell::MenuEntry& item) override;
  void processEventsFor(int milliseconds) override;

  // Called with the window whenever a modal wait begins, before it blocks: a host scripts the dialog
  // from here (an empty function: none).
  void setWaitHook(std::function<void(shell::Handle)> hook) { waitHook_ = std::move(hook); }
  // Tells the host that a window starts a modal wait (the hook, when there is one).
  void notifyWait(shell::Handle window) const {
    if (waitHook_) waitHook_(window);
  }

 private:
  struct Wait {
    QEventLoop* loop = nullptr;
    bool resumed = false;
  };
  std::map<double, Wait> waits_;
  std::function<void(shell::Handle)> waitHook_;
};

QtToolkit& qtToolkit();

// Gives a window and its tagged widgets their handles, connects their callbacks and lets its close box
// run its close request. Used for every window the library shows.
shell::Handle registerWindow(QWidget* window);

}  // namespace dot11b::ui
