// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/window_events.h"

#include <QCloseEvent>
#include <QEvent>
#include <QMainWindow>
#include <QShortcut>

#include "qt/callbacks.h"
#include "qt/handle_table.h"
#include "qt/properties.h"

namespace dot11b::qt {

namespace {

class CloseRequestFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Close) return false;
    if (textProperty(watched, "CloseRequestFcn").empty()) {
      // The window goes away (it is deleted on close): its handles are invalid from now on.
      HandleTable::instance().forget(watched);
      return false;
    }
    // The window module decides: it hides, destroys or keeps the window.
    event->ignore();
    runCallback(watched, "CloseRequestFcn");
    return true;
  }
};

}  // namespace

void routeCloseRequests(QWidget* window) {
  window->installEventFilter(new CloseRequestFilter(window));
  if (qobject_cast<QMainWindow*>(window) == nullptr) {
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    QObject::connect(escape, &QShortcut::activated, window, [window] { window->close(); });
  }
}

}  // namespace dot11b::qt
