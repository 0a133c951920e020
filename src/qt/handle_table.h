// SPDX-License-Identifier: GPL-3.0-or-later
// The table of handles: every window, control and menu item the library shows is a number inside the
// array values, mapped here to its Qt object. A handle whose object has gone is reported as invalid and
// never dereferenced.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "runtime/value.h"
#include "toolkit/toolkit.h"

namespace dot11b::qt {

class HandleTable {
 public:
  static HandleTable& instance();

  // The handle of `object`, given a new one the first time.
  toolkit::Handle add(QObject* object);
  // The object of a handle; nullptr when the handle is unknown or its object has gone.
  QObject* find(toolkit::Handle h) const;
  // The object, or an error naming the handle.
  QObject* get(toolkit::Handle h) const;
  // 0 when the object has no handle.
  toolkit::Handle handleOf(const QObject* object) const;
  // Forgets the object and everything under it, so that their handles are invalid from now on.
  void forget(QObject* object);

  // Open windows in the order they were added.
  std::vector<toolkit::Handle> windows() const;
  // Runs `f` whenever a window is forgotten (closed or destroyed); returns the handler it replaces.
  std::function<void()> setWindowGoneHandler(std::function<void()> f) {
    return std::exchange(windowGone_, std::move(f));
  }

  rt::Value appData(toolkit::Handle window) const;
  void setAppData(toolkit::Handle window, rt::Value data);

 private:
  void erase(double h);

  double next_ = 1;
  std::set<double> windows_;
  std::map<double, QPointer<QObject>> objects_;
  std::map<const QObject*, double> handles_;
  std::map<double, rt::Value> appData_;
  std::function<void()> windowGone_;
};

// The Qt widget behind a window handle; an error when the handle is not an open window.
QWidget* windowWidget(toolkit::Handle h);

}  // namespace dot11b::qt
