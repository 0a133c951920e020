// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/qt_toolkit.h"

#include <QAction>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QWidget>
#include <stdexcept>

#include "qt/application.h"
#include "qt/callbacks.h"
#include "qt/figure_files.h"
#include "qt/handle_table.h"
#include "qt/properties.h"
#include "qt/window_events.h"
#include "runtime/shortest_text.h"

namespace dot11b::qt {

namespace {

using rt::Value;

HandleTable& table() { return HandleTable::instance(); }

// Widgets the program addresses carry a tag: an object name that Qt did not give them itself.
bool isTagged(const QObject* o) {
  const QString name = o->objectName();
  return !name.isEmpty() && !name.startsWith("qt_");
}

void registerControl(QWidget* control) {
  table().add(control);
  if (!textProperty(control, "Callback").empty()) connectCallback(control);
}

QMenuBar* menuBarOf(QWidget* window) {
  if (auto* main = qobject_cast<QMainWindow*>(window)) return main->menuBar();
  if (auto* bar = window->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly)) return bar;
  auto* bar = new QMenuBar(window);
  if (window->layout() != nullptr) window->layout()->setMenuBar(bar);
  return bar;
}

// The widget a group of controls goes into: the window's "groupArea" container when it has one.
QLayout* groupLayoutOf(QWidget* window) {
  if (auto* area = window->findChild<QWidget*>("groupArea"); area != nullptr && area->layout() != nullptr) {
    return area->layout();
  }
  if (window->layout() == nullptr)
    throw std::runtime_error("the window " + window->objectName().toStdString() + " has no layout for controls");
  return window->layout();
}

}  // namespace

QtToolkit& qtToolkit() {
  static QtToolkit toolkit;
  return toolkit;
}

toolkit::Handle registerWindow(QWidget* window) {
  const toolkit::Handle h = table().add(window);
  for (QWidget* w : window->findChildren<QWidget*>())
    if (isTagged(w)) registerControl(w);
  routeCloseRequests(window);
  // A window that has no close request of its own goes away when closed.
  if (textProperty(window, "CloseRequestFcn").empty()) window->setAttribute(Qt::WA_DeleteOnClose);
  return h;
}

Value QtToolkit::get(toolkit::Handle h, std::string_view property) const {
  return getProperty(h == toolkit::kScreen ? nullptr : table().get(h), property);
}

void QtToolkit::set(toolkit::Handle h, std::string_view property, const Value& value) {
  if (h == toolkit::kScreen) throw std::invalid_argument("the screen's properties cannot be set");
  setProperty(table().get(h), property, value);
}

bool QtToolkit::isValid(toolkit::Handle h) const { return h == toolkit::kScreen || table().find(h) != nullptr; }

toolkit::Handle QtToolkit::openFigure(std::string_view layout) {
  ensureApplication();
  QWidget* window = loadLayout(layout);
  // Every window but the main window is a dialog that blocks the others while it waits for an answer.
  if (qobject_cast<QMainWindow*>(window) == nullptr) {
    window->setWindowFlag(Qt::Dialog);
    window->setWindowModality(Qt::ApplicationModal);
  }
  return registerWindow(window);
}

void QtToolkit::close(toolkit::Handle h) {
  QWidget* window = windowWidget(h);
  resume(h);
  table().forget(window);
  window->hide();
  window->deleteLater();
}

toolkit::Handle QtToolkit::windowOf(toolkit::Handle h) const {
  if (h == toolkit::kScreen) return toolkit::kScreen;
  return table().handleOf(owningWindow(table().get(h)));
}

Value QtToolkit::controlRecord(toolkit::Handle h) const {
  QWidget* window = windowWidget(h);
  Value record = Value::record();
  record.setField(window->objectName().toStdString(), Value::scalar(h));
  for (QObject* o : window->findChildren<QObject*>()) {
    const double handle = table().handleOf(o);
    const std::string tag = o->objectName().toStdString();
    if (handle != 0 && isTagged(o) && !record.hasField(tag)) record.setField(tag, Value::scalar(handle));
  }
  return record;
}

Value QtToolkit::appData(toolkit::Handle window) const { return table().appData(window); }

void QtToolkit::setAppData(toolkit::Handle window, const Value& data) { table().setAppData(window, data); }

void QtToolkit::show(toolkit::Handle h) {
  QWidget* window = windowWidget(h);
  window->show();
  window->raise();
  window->activateWindow();
}

void QtToolkit::waitFor(toolkit::Handle h) {
  QWidget* window = windowWidget(h);
  QEventLoop loop;
  waits_[h] = Wait{&loop, false};
  const QPointer<QWidget> alive(window);
  QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
  notifyWait(h);
  if (!waits_[h].resumed && alive && isValid(h)) loop.exec();
  waits_.erase(h);
}

void QtToolkit::resume(toolkit::Handle h) {
  const auto it = waits_.find(h);
  if (it == waits_.end()) return;
  it->second.resumed = true;
  it->second.loop->quit();
}

std::vector<toolkit::Handle> QtToolkit::addControls(toolkit::Handle h, std::string_view layout) {
  QWidget* window = windowWidget(h);
  QWidget* group = loadLayout(layout);
  QList<QWidget*> tagged;
  if (isTagged(group)) tagged.push_back(group);
  for (QWidget* w : group->findChildren<QWidget*>())
    if (isTagged(w)) tagged.push_back(w);
  const Value existing = controlRecord(h);
  groupLayoutOf(window)->addWidget(group);
  std::vector<toolkit::Handle> handles;
  for (auto it = tagged.rbegin(); it != tagged.rend(); ++it) {
    QWidget* control = *it;
    const std::string tag = control->objectName().toStdString();
    if (const Value* own = existing.findField(tag)) {
      // The window's own control of that tag is used instead.
      handles.push_back(own->re(0));
      delete control;
      continue;
    }
    registerControl(control);
    handles.push_back(table().handleOf(control));
  }
  return handles;
}

toolkit::Handle QtToolkit::addMenu(toolkit::Handle parent, const toolkit::MenuEntry& item) {
  QObject* owner = table().get(parent);
  const QString label = QString::fromStdString(item.label);
  QObject* created = nullptr;
  QAction* action = nullptr;
  if (auto* menu = qobject_cast<QMenu*>(owner)) {
    if (item.separatorAbove) menu->addSeparator();
    if (item.callback.empty()) {
      QMenu* sub = menu->addMenu(label);
      created = sub;
      action = sub->menuAction();
    } else {
      action = menu->addAction(label);
      created = action;
      action->setProperty("Callback", QString::fromStdString(item.callback));
      QObject::connect(action, &QAction::triggered, action, [action] {
        // Qt flips a check mark itself when the item is picked; here the callback alone sets it.
        if (action->isCheckable()) {
          const QSignalBlocker quiet(action);
          action->setChecked(!action->isChecked());
        }
        runCallback(action);
      });
    }
  } else if (auto* window = qobject_cast<QWidget*>(owner); window != nullptr && window->isWindow()) {
    QMenu* top = menuBarOf(window)->addMenu(label);
    created = top;
    action = top->menuAction();
  } else {
    throw std::invalid_argument("menus go into a window or a menu, not handle " + rt::shortestText(parent));
  }
  created->setObjectName(QString::fromStdString(item.tag));
  action->setVisible(item.visible);
  action->setEnabled(item.enabled);
  if (item.checked) {
    action->setCheckable(true);
    action->setChecked(true);
  }
  return table().add(created);
}

void QtToolkit::processEventsFor(int milliseconds) {
  if (!applicationRunning()) return;
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

void QtToolkit::every(toolkit::Handle h, int milliseconds, std::function<void()> tick) {
  // The timer is the window's child: it goes with the window.
  auto* timer = new QTimer(windowWidget(h));
  QObject::connect(timer, &QTimer::timeout, timer, [tick = std::move(tick)] {
    try {
      tick();
    } catch (const std::exception&) {
      // A status that cannot be read this time is read at the next tick.
    }
  });
  timer->start(milliseconds);
}

}  // namespace dot11b::qt
