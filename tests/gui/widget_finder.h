// SPDX-License-Identifier: GPL-3.0-or-later
// The application's widgets by tag, for the tests that meet them as a user and a screen reader do.
#pragma once

#include <QApplication>
#include <QWidget>
#include <stdexcept>
#include <string>

namespace dot11b::gui_test {

inline QWidget* widget(const std::string& tag) {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->objectName() == QString::fromStdString(tag)) return top;
    if (auto* w = top->findChild<QWidget*>(QString::fromStdString(tag))) return w;
  }
  throw std::runtime_error("no widget named " + tag);
}

}  // namespace dot11b::gui_test
