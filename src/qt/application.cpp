// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/application.h"

#include <xcb/xcb.h>

#include <QApplication>
#include <QEventLoop>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "qt/handle_table.h"

namespace dot11b::qt {

namespace {

std::string env(const char* name) {
  const char* v = std::getenv(name);
  return v == nullptr ? std::string() : std::string(v);
}

// Whether an X server answers on DISPLAY and lets this process in.
bool xServerReachable() {
  if (env("DISPLAY").empty()) return false;
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  const bool ok = xcb_connection_has_error(c) == 0;
  xcb_disconnect(c);
  return ok;
}

// Qt's notices that say nothing to a user (the offscreen platform lacks window-manager features; no
// per-user runtime folder is set in a service or test environment) are dropped; everything else goes on.
QtMessageHandler previousHandler = nullptr;

void filterNotices(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type <= QtWarningMsg && (message.startsWith("This plugin does not support") ||
                               message.startsWith("QStandardPaths: XDG_RUNTIME_DIR not set"))) {
    return;
  }
  if (previousHandler != nullptr) {
    previousHandler(type, context, message);
  } else {
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
  }
}

}  // namespace

std::string displayProblem() {
  const std::string platform = env("QT_QPA_PLATFORM");
  // Platforms other than the X11 one (offscreen, minimal, vnc, wayland ...) report their own problems.
  if (!platform.empty() && platform.rfind("xcb", 0) != 0) return "";
  if (xServerReachable()) return "";
  const std::string display = env("DISPLAY");
  return (display.empty() ? std::string("no display is available (DISPLAY is not set)")
                          : "the display '" + display + "' cannot be reached") +
         ". Without a display use the command-line tool (dot11b --help), or run the window invisibly with "
         "QT_QPA_PLATFORM=offscreen.";
}

void ensureApplication() {
  if (QCoreApplication::instance() != nullptr) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
      throw std::runtime_error("the host's Qt application has no widgets: it must be a QApplication");
    }
    return;
  }
  if (const std::string problem = displayProblem(); !problem.empty()) throw std::runtime_error(problem);
  previousHandler = qInstallMessageHandler(filterNotices);
  // QApplication keeps references to its arguments for its whole life.
  static int argc = 1;
  static char name[] = "dot11b";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  app->setApplicationName("dot11b");
  app->setQuitOnLastWindowClosed(false);
}

bool applicationRunning() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

void runUntilWindowsClosed() {
  if (!applicationRunning()) return;
  if (HandleTable::instance().windows().empty()) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return;
  }
  QEventLoop loop;
  auto previous = HandleTable::instance().setWindowGoneHandler([&loop] {
    if (HandleTable::instance().windows().empty()) loop.quit();
  });
  loop.exec();
  HandleTable::instance().setWindowGoneHandler(std::move(previous));
  // Windows closed by the last commands are deleted by the event loop.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace dot11b::qt
