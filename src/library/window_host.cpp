// The C functions by which a host runs the windows: the event loop and the hook of modal waits.
#include <exception>

#include "runtime/c_calls.h"
#include "ui/application.h"
#include "ui/qt_toolkit.h"

extern "C" int dot11b_run_event_loop(void) {
  try {
    dot11b::ui::runUntilWindowsClosed();
    return 0;
  } catch (const std::exception& e) {
    dot11b::rt::setLastError(e.what());
    return -1;
  }
}

extern "C" void dot11b_set_wait_hook(dot11b_wait_hook hook, void* context) {
  if (hook == nullptr) {
    dot11b::ui::qtToolkit().setWaitHook({});
    return;
  }
  dot11b::ui::qtToolkit().setWaitHook([hook, context](double window) { hook(context, window); });
}
