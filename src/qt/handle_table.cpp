// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/handle_table.h"

#include <QAction>
#include <QMenu>
#include <stdexcept>
#include <string>

#include "runtime/shortest_text.h"

namespace dot11b::qt {

namespace {

bool isWindow(const QObject* o) {
  const auto* w = qobject_cast<const QWidget*>(o);
  return w != nullptr && w->isWindow() && qobject_cast<const QMenu*>(o) == nullptr;
}

}  // namespace

HandleTable& HandleTable::instance() {
  static HandleTable table;
  return table;
}

toolkit::Handle HandleTable::add(QObject* object) {
  if (auto it = handles_.find(object); it != handles_.end()) return it->second;
  const double h = next_++;
  objects_[h] = object;
  handles_[object] = h;
  if (isWindow(object)) windows_.insert(h);
  // A destroyed object's handle becomes invalid at once, whoever destroyed it.
  QObject::connect(object, &QObject::destroyed, [this, object] {
    const auto it = handles_.find(object);
    if (it != handles_.end()) erase(it->second);
  });
  return h;
}

void HandleTable::erase(double h) {
  const auto it = objects_.find(h);
  if (it == objects_.end()) return;
  handles_.erase(it->second.data());
  objects_.erase(it);
  appData_.erase(h);
  if (windows_.erase(h) > 0 && windowGone_) windowGone_();
}

QObject* HandleTable::find(toolkit::Handle h) const {
  const auto it = objects_.find(h);
  return it == objects_.end() ? nullptr : it->second.data();
}

QObject* HandleTable::get(toolkit::Handle h) const {
  QObject* o = find(h);
  if (o == nullptr) throw std::runtime_error("invalid handle " + rt::shortestText(h) + ": its window has closed");
  return o;
}

toolkit::Handle HandleTable::handleOf(const QObject* object) const {
  const auto it = handles_.find(object);
  return it == handles_.end() ? 0 : it->second;
}

void HandleTable::forget(QObject* object) {
  // The window's controls, menus and menu items are all its descendants.
  std::vector<const QObject*> gone{object};
  for (QObject* child : object->findChildren<QObject*>()) gone.push_back(child);
  for (const QObject* o : gone) {
    const auto it = handles_.find(o);
    if (it != handles_.end()) erase(it->second);
  }
}

std::vector<toolkit::Handle> HandleTable::windows() const {
  return {windows_.begin(), windows_.end()};
}

rt::Value HandleTable::appData(toolkit::Handle window) const {
  get(window);
  const auto it = appData_.find(window);
  return it == appData_.end() ? rt::Value() : it->second;
}

void HandleTable::setAppData(toolkit::Handle window, rt::Value data) {
  get(window);
  appData_[window] = std::move(data);
}

QWidget* windowWidget(toolkit::Handle h) {
  auto* w = qobject_cast<QWidget*>(HandleTable::instance().get(h));
  if (w == nullptr || !w->isWindow()) throw std::runtime_error("handle " + rt::shortestText(h) + " is not a window");
  return w;
}

}  // namespace dot11b::qt
