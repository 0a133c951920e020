// SPDX-License-Identifier: GPL-3.0-or-later
// The window system as the library sees it beyond the toolkit. It lives in a module of its own, opened
// on first use, so that a process that only computes frames never loads the widget libraries.
#pragma once

#include <functional>

#include "runtime/shared_api.h"
#include "toolkit/dialogs.h"
#include "toolkit/toolkit.h"

namespace dot11b::toolkit {

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  // The window system's dialogs while its application runs; nullptr before it runs.
  virtual Dialogs* runningDialogs() = 0;
  // Runs the event loop until every window has closed; returns at once when none is open.
  virtual void runUntilWindowsClosed() = 0;
  // Called with the window of each modal wait instead of waiting (a host's script answers it); an empty
  // hook waits.
  virtual void setWaitHook(std::function<void(Handle)> hook) = 0;
};

// The window system, opened first when it is not open yet; throws when it cannot be.
WindowSystem& windowSystem();
// The window system if it is open, else nullptr: asking never opens it.
WindowSystem* openWindowSystem();

// The window module installs itself (with the toolkit, see setToolkit) when it is opened; the library
// installs the function that opens it.
DOT11B_SHARED void setWindowSystem(WindowSystem* w);
void setWindowSystemOpener(std::function<void()> open);

}  // namespace dot11b::toolkit
