// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/callbacks.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <exception>
#include <iostream>

#include "qt/callback_text.h"
#include "qt/handle_table.h"
#include "qt/properties.h"
#include "runtime/library.h"

namespace dot11b::qt {

QWidget* owningWindow(QObject* object) {
  for (QObject* o = object; o != nullptr; o = o->parent()) {
    auto* w = qobject_cast<QWidget*>(o);
    if (w != nullptr && w->isWindow() && qobject_cast<QMenu*>(w) == nullptr) return w;
  }
  return nullptr;
}

void runCallback(QObject* source, const char* property) {
  const std::string text = textProperty(source, property);
  if (text.empty()) return;
  try {
    const auto call = parseCallback(text);
    if (!call)
      throw std::runtime_error("the callback text \"" + text +
                               "\" has not the form module('name',gcbo,[],guidata(gcbo))");
    HandleTable& table = HandleTable::instance();
    const double window = table.handleOf(owningWindow(source));
    const rt::Value handles = window != 0 ? table.appData(window) : rt::Value();
    rt::callByName(call->module,
                   {rt::Value::text(call->subroutine), rt::Value::scalar(table.handleOf(source)), rt::Value(), handles},
                   0);
  } catch (const std::exception& e) {
    // No exception may cross the toolkit's event loop.
    std::cerr << e.what() << std::endl;
  }
}

void connectCallback(QWidget* control) {
  if (auto* c = qobject_cast<QComboBox*>(control)) {
    QObject::connect(c, &QComboBox::activated, c, [c](int) { runCallback(c); });
  } else if (auto* e = qobject_cast<QLineEdit*>(control)) {
    // Return or leaving the field ends an edit; without one (tabbing through, a click into the field and
    // away) the callback must not run, or it would round and redraw values the user never touched.
    QObject::connect(e, &QLineEdit::editingFinished, e, [e] {
      if (!e->isModified()) return;
      e->setModified(false);
      runCallback(e);
    });
  } else if (auto* b = qobject_cast<QAbstractButton*>(control)) {
    QObject::connect(b, &QAbstractButton::clicked, b, [b](bool) { runCallback(b); });
  }
}

void actOn(QObject* control) {
  if (auto* a = qobject_cast<QAction*>(control)) {
    a->trigger();
  } else if (auto* c = qobject_cast<QComboBox*>(control)) {
    emit c->activated(c->currentIndex());
  } else if (auto* e = qobject_cast<QLineEdit*>(control)) {
    e->setModified(true);
    emit e->editingFinished();
  } else if (auto* b = qobject_cast<QAbstractButton*>(control)) {
    emit b->clicked(b->isChecked());
  } else if (auto* w = qobject_cast<QWidget*>(control); w != nullptr && w->isWindow()) {
    w->close();
  }
}

}  // namespace dot11b::qt
