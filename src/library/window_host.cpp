// SPDX-License-Identifier: GPL-3.0-or-later
// The C functions by which a host runs the windows: the event loop and the hook of modal waits.
#include <exception>

#include "runtime/c_calls.h"
#include "toolkit/window_system.h"

extern "C" int dot11b_run_event_loop(void) {
  try {
    dot11b::toolkit::windowSystem().runUntilWindowsClosed();
    return 0;
  } catch (const std::exception& e) {
    dot11b::rt::setLastError(e.what());
    return -1;
  }
}

extern "C" void dot11b_set_wait_hook(dot11b_wait_hook hook, void* context) {
  try {
    if (hook == nullptr) {
      // No window system open: no hook to remove.
      if (dot11b::toolkit::WindowSystem* open = dot11b::toolkit::openWindowSystem()) open->setWaitHook({});
      return;
    }
    dot11b::toolkit::windowSystem().setWaitHook([hook, context](double window) { hook(context, window); });
  } catch (const std::exception& e) {
    dot11b::rt::setLastError(e.what());
  }
}
