// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit interface of the window modules on Qt widgets.
#pragma once

#include <QEventLoop>
#include <QPointer>
#include <functional>
#include <map>

#include "toolkit/toolkit.h"

namespace dot11b::qt {

class QtToolkit : public toolkit::Toolkit {
 public:
  rt::Value get(toolkit::Handle h, std::string_view property) const override;
  void set(toolkit::Handle h, std::string_view property, const rt::Value& value) override;
  bool isValid(toolkit::Handle h) const override;

  toolkit::Handle openFigure(std::string_view layout) override;
  void close(toolkit::Handle window) override;
  toolkit::Handle windowOf(toolkit::Handle h) const override;
  rt::Value controlRecord(toolkit::Handle window) const override;
  rt::Value appData(toolkit::Handle window) const override;
  void setAppData(toolkit::Handle window, const rt::Value& data) override;

  void show(toolkit::Handle window) override;
  void waitFor(toolkit::Handle window) override;
  void resume(toolkit::Handle window) override;

  std::vector<toolkit::Handle> addControls(toolkit::Handle window, std::string_view layout) override;
  toolkit::Handle addMenu(toolkit::Handle parent, const toolkit::MenuEntry& item) override;
  void processEventsFor(int milliseconds) override;
  void every(toolkit::Handle window, int milliseconds, std::function<void()> tick) override;

  // Called with the window whenever a modal wait begins, before it blocks: a host scripts the dialog
  // from here (an empty function: none).
  void setWaitHook(std::function<void(toolkit::Handle)> hook) { waitHook_ = std::move(hook); }
  // Tells the host that a window starts a modal wait (the hook, when there is one).
  void notifyWait(toolkit::Handle window) const {
    if (waitHook_) waitHook_(window);
  }

 private:
  struct Wait {
    QEventLoop* loop = nullptr;
    bool resumed = false;
  };
  std::map<double, Wait> waits_;
  std::function<void(toolkit::Handle)> waitHook_;
};

QtToolkit& qtToolkit();

// Gives a window and its tagged widgets their handles, connects their callbacks and lets its close box
// run its close request. Used for every window the library shows.
toolkit::Handle registerWindow(QWidget* window);

}  // namespace dot11b::qt
