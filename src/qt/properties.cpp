// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/properties.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QWidget>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "qt/handle_table.h"
#include "qt/label_text.h"
#include "runtime/number_text.h"
#include "runtime/shortest_text.h"
#include "toolkit/controls.h"

namespace dot11b::qt {

using rt::Value;

namespace {

std::string nameOf(const QObject* o) {
  const std::string tag = o->objectName().toStdString();
  const std::string h = rt::numberToText(HandleTable::instance().handleOf(o));
  return tag.empty() ? "handle " + h : tag + " (handle " + h + ")";
}

[[noreturn]] void noSuchProperty(const QObject* o, std::string_view property) {
  throw std::invalid_argument("'" + std::string(property) + "' is not a property of " + nameOf(o));
}

std::string textOf(const QObject* o, std::string_view property, const Value& v) {
  if (!v.isText() && !v.isEmpty()) {
    throw std::invalid_argument(std::string(property) + " of " + nameOf(o) + " must be text, not " + rt::describe(v));
  }
  return v.isText() ? v.toUtf8() : std::string();
}

bool onOffOf(const QObject* o, std::string_view property, const Value& v) {
  const std::string s = textOf(o, property, v);
  if (s != "on" && s != "off")
    throw std::invalid_argument(std::string(property) + " of " + nameOf(o) + " must be 'on' or 'off'");
  return s == "on";
}

double numberOf(const QObject* o, std::string_view property, const Value& v) {
  if (!v.isNumeric() || v.numel() != 1 || v.isComplex() || !std::isfinite(v.re(0))) {
    throw std::invalid_argument(std::string(property) + " of " + nameOf(o) + " must be one finite real number, not " +
                                rt::describe(v));
  }
  return v.re(0);
}

QString qText(const std::string& s) { return QString::fromStdString(s); }
Value fromQ(const QString& s) { return Value::text(s.toStdString()); }

QRect screenRect() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

std::string unitsOf(const QObject* o) {
  const QVariant v = o->property("Units");
  return v.isValid() ? v.toString().toStdString() : "pixels";
}

// [x y w h] with y counted upward from the bottom of the parent (the screen for a window).
Value positionOf(QWidget* w) {
  const QRect g = w->geometry();
  const QRect around = w->isWindow() ? screenRect() : QRect(QPoint(0, 0), w->parentWidget()->size());
  double x = g.x() - around.x(), y = around.height() - (g.y() - around.y()) - g.height(), wd = g.width(),
         ht = g.height();
  if (unitsOf(w) == "normalized") {
    x /= around.width();
    wd /= around.width();
    y /= around.height();
    ht /= around.height();
  }
  return Value::row({x, y, wd, ht});
}

void setPosition(QWidget* w, const Value& v) {
  if (!v.isNumeric() || v.numel() != 4 || v.isComplex()) {
    throw std::invalid_argument("Position of " + nameOf(w) + " must be [x y width height]");
  }
  double x = v.re(0), y = v.re(1), wd = v.re(2), ht = v.re(3);
  for (double c : {x, y, wd, ht})
    if (!std::isfinite(c)) throw std::invalid_argument("Position of " + nameOf(w) + " must be finite");
  const QRect around = w->isWindow() ? screenRect() : QRect(QPoint(0, 0), w->parentWidget()->size());
  if (unitsOf(w) == "normalized") {
    x *= around.width();
    wd *= around.width();
    y *= around.height();
    ht *= around.height();
  }
  const int width = std::max(1, static_cast<int>(std::lround(wd))),
            height = std::max(1, static_cast<int>(std::lround(ht)));
  w->setGeometry(around.x() + static_cast<int>(std::lround(x)),
                 around.y() + around.height() - static_cast<int>(std::lround(y)) - height, width, height);
}

Value handlesOf(const QList<QObject*>& objects) {
  std::vector<double> out;
  for (QObject* o : objects) {
    const double h = HandleTable::instance().handleOf(o);
    if (h != 0) out.push_back(h);
  }
  return Value::row(std::move(out));
}

// The object that carries a menu's own switches: a menu's action in its parent.
QAction* actionOf(QObject* o) {
  if (auto* a = qobject_cast<QAction*>(o)) return a;
  if (auto* m = qobject_cast<QMenu*>(o)) return m->menuAction();
  return nullptr;
}

Value childrenOf(QObject* o) {
  if (auto* menu = qobject_cast<QMenu*>(o)) {
    QList<QObject*> items;
    for (QAction* a : menu->actions()) items.push_back(a->menu() ? static_cast<QObject*>(a->menu()) : a);
    return handlesOf(items);
  }
  return handlesOf(o->children());
}

Value parentOf(QObject* o) {
  for (QObject* p = o->parent(); p != nullptr; p = p->parent()) {
    const double h = HandleTable::instance().handleOf(p);
    if (h != 0) return Value::scalar(h);
  }
  return Value::scalar(0);
}

Value getMenuProperty(QObject* o, QAction* a, std::string_view p) {
  if (p == "Label") return fromQ(a->text());
  if (p == "Checked") return toolkit::onOff(a->isChecked());
  if (p == "Enable") return toolkit::onOff(a->isEnabled());
  if (p == "Visible") return toolkit::onOff(a->isVisible());
  if (p == "TooltipString") return fromQ(a->toolTip());
  if (p == "Children") return childrenOf(o);
  noSuchProperty(o, p);
}

void setMenuProperty(QObject* o, QAction* a, std::string_view p, const Value& v) {
  if (p == "Label") a->setText(qText(textOf(o, p, v)));
  else if (p == "Checked") {
    a->setCheckable(true);
    a->setChecked(onOffOf(o, p, v));
  } else if (p == "Enable") a->setEnabled(onOffOf(o, p, v));
  else if (p == "Visible") a->setVisible(onOffOf(o, p, v));
  else if (p == "TooltipString") a->setToolTip(qText(textOf(o, p, v)));
  else noSuchProperty(o, p);
}

Value comboItems(const QComboBox* c) {
  Value list = Value::cell(static_cast<std::size_t>(c->count()), c->count() == 0 ? 0 : 1);
  for (int i = 0; i < c->count(); ++i) list.cells()[static_cast<std::size_t>(i)] = fromQ(c->itemText(i));
  return list;
}

void setComboItems(QComboBox* c, const Value& v) {
  QStringList items;
  if (v.isCell()) {
    for (const Value& item : v.cells()) items << qText(textOf(c, "String", item));
  } else if (!v.isEmpty()) {
    items << qText(textOf(c, "String", v));
  }
  const int keep = c->currentIndex();
  const QSignalBlocker quiet(c);
  c->clear();
  c->addItems(items);
  c->setCurrentIndex(keep >= 0 && keep < c->count() ? keep : (c->count() > 0 ? 0 : -1));
}

Value getWidgetValue(QWidget* w) {
  if (auto* c = qobject_cast<QComboBox*>(w)) return Value::scalar(c->currentIndex() + 1);
  if (auto* b = qobject_cast<QAbstractButton*>(w); b != nullptr && b->isCheckable()) {
    return Value::scalar(b->isChecked() ? 1 : 0);
  }
  noSuchProperty(w, "Value");
}

void setWidgetValue(QWidget* w, const Value& v) {
  const double x = numberOf(w, "Value", v);
  if (auto* c = qobject_cast<QComboBox*>(w)) {
    if (x != std::floor(x) || x < 1 || x > std::max(1, c->count())) {
      throw std::invalid_argument("Value " + rt::shortestText(x) + " of " + nameOf(w) + " is not one of its " +
                                  std::to_string(c->count()) + " entries");
    }
    const QSignalBlocker quiet(c);
    if (c->count() > 0) c->setCurrentIndex(static_cast<int>(x) - 1);
    return;
  }
  if (auto* b = qobject_cast<QAbstractButton*>(w); b != nullptr && b->isCheckable()) {
    const QSignalBlocker quiet(b);
    b->setChecked(x != 0);
    return;
  }
  noSuchProperty(w, "Value");
}

Value getWidgetString(QWidget* w) {
  if (auto* e = qobject_cast<QLineEdit*>(w)) return fromQ(e->text());
  if (auto* l = qobject_cast<QLabel*>(w)) return fromQ(l->buddy() != nullptr ? withoutMnemonics(l->text()) : l->text());
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return fromQ(withoutMnemonics(b->text()));
  if (auto* c = qobject_cast<QComboBox*>(w)) return comboItems(c);
  noSuchProperty(w, "String");
}

void setWidgetString(QWidget* w, const Value& v) {
  if (auto* c = qobject_cast<QComboBox*>(w)) return setComboItems(c, v);
  const QString text = qText(textOf(w, "String", v));
  if (auto* e = qobject_cast<QLineEdit*>(w)) {
    e->setText(text);
    e->setCursorPosition(0);
  } else if (auto* l = qobject_cast<QLabel*>(w)) {
    l->setText(l->buddy() != nullptr ? escapedMnemonics(text) : text);
    // A status line is read while the command that set it still runs.
    if (l->isVisible()) l->repaint();
  } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    b->setText(escapedMnemonics(text));
  } else {
    noSuchProperty(w, "String");
  }
}

Value getWindowOnly(QWidget* w, std::string_view p) {
  if (!w->isWindow()) noSuchProperty(w, p);
  if (p == "Name") return fromQ(w->windowTitle());
  if (p == "Pointer") return Value::text(w->cursor().shape() == Qt::WaitCursor ? "watch" : "arrow");
  return Value::text(textProperty(w, "CloseRequestFcn"));
}

void setWindowOnly(QWidget* w, std::string_view p, const Value& v) {
  if (!w->isWindow()) noSuchProperty(w, p);
  const std::string text = textOf(w, p, v);
  if (p == "Name") {
    w->setWindowTitle(qText(text));
  } else if (p == "Pointer") {
    if (text == "watch") w->setCursor(Qt::WaitCursor);
    else if (text == "arrow") w->unsetCursor();
    else throw std::invalid_argument("Pointer of " + nameOf(w) + " must be 'arrow' or 'watch'");
  } else {
    w->setProperty("CloseRequestFcn", qText(text));
  }
}

Value getScreen(std::string_view p) {
  const QRect r = screenRect();
  if (p == "ScreenSize") return Value::row({1, 1, static_cast<double>(r.width()), static_cast<double>(r.height())});
  if (p == "Units") return Value::text("pixels");
  throw std::invalid_argument("'" + std::string(p) + "' is not a property of the screen");
}

std::vector<const PropertyExtension*>& extensions() {
  static std::vector<const PropertyExtension*> all;
  return all;
}

}  // namespace

void addPropertyExtension(const PropertyExtension* extension) { extensions().push_back(extension); }

std::string textProperty(const QObject* object, const char* name) {
  const QVariant v = object->property(name);
  return v.isValid() ? v.toString().toStdString() : std::string();
}

Value getProperty(QObject* o, std::string_view p) {
  if (o == nullptr) return getScreen(p);
  Value answer;
  for (const PropertyExtension* e : extensions())
    if (e->get(o, p, answer)) return answer;
  if (p == "Tag") return fromQ(o->objectName());
  if (p == "Callback") return Value::text(textProperty(o, "Callback"));
  if (p == "Parent") return parentOf(o);
  if (p == "Units") return Value::text(unitsOf(o));
  if (QAction* a = actionOf(o)) return getMenuProperty(o, a, p);
  auto* w = qobject_cast<QWidget*>(o);
  if (w == nullptr) noSuchProperty(o, p);
  if (p == "Value") return getWidgetValue(w);
  if (p == "String") return getWidgetString(w);
  if (p == "Enable") return toolkit::onOff(w->isEnabled());
  if (p == "Visible") return toolkit::onOff(w->isWindow() ? w->isVisible() : !w->isHidden());
  if (p == "TooltipString") return fromQ(w->toolTip());
  if (p == "Position") return positionOf(w);
  if (p == "Children") return childrenOf(o);
  if (p == "Name" || p == "Pointer" || p == "CloseRequestFcn") return getWindowOnly(w, p);
  noSuchProperty(o, p);
}

void setProperty(QObject* o, std::string_view p, const Value& v) {
  if (o == nullptr) throw std::invalid_argument("the screen's properties cannot be set");
  for (const PropertyExtension* e : extensions())
    if (e->set(o, p, v)) return;
  if (p == "Tag") return o->setObjectName(qText(textOf(o, p, v)));
  if (p == "Callback") return static_cast<void>(o->setProperty("Callback", qText(textOf(o, p, v))));
  if (p == "Units") {
    const std::string units = textOf(o, p, v);
    if (units != "pixels" && units != "normalized") {
      throw std::invalid_argument("Units of " + nameOf(o) + " must be 'pixels' or 'normalized'");
    }
    return static_cast<void>(o->setProperty("Units", qText(units)));
  }
  if (QAction* a = actionOf(o)) return setMenuProperty(o, a, p, v);
  auto* w = qobject_cast<QWidget*>(o);
  if (w == nullptr) noSuchProperty(o, p);
  if (p == "Value") return setWidgetValue(w, v);
  if (p == "String") return setWidgetString(w, v);
  if (p == "Enable") return w->setEnabled(onOffOf(o, p, v));
  if (p == "Visible") return w->setVisible(onOffOf(o, p, v));
  if (p == "TooltipString") return w->setToolTip(qText(textOf(o, p, v)));
  if (p == "Position") return setPosition(w, v);
  if (p == "Name" || p == "Pointer" || p == "CloseRequestFcn") return setWindowOnly(w, p, v);
  noSuchProperty(o, p);
}

}  // namespace dot11b::qt
