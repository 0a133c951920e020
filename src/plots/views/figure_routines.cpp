// SPDX-License-Identifier: GPL-3.0-or-later
#include "plots/views/figure_routines.h"

#include <qcustomplot.h>

#include <stdexcept>

#include "plots/views/views.h"
#include "qt/handle_table.h"
#include "qt/qt_toolkit.h"
#include "runtime/shortest_text.h"
#include "toolkit/controls.h"

namespace dot11b::plots::views {

namespace {

PlotWindow& windowOfAxes(QCPAxisRect* a) { return *plotWindowOf(qt::HandleTable::instance().handleOf(a)); }

// The window's grid shape, kept for Subplot.
std::pair<int, int> gridOf(PlotWindow& w) {
  const QVariant rows = w.property("subplotRows"), columns = w.property("subplotColumns");
  return {rows.isValid() ? rows.toInt() : 0, columns.isValid() ? columns.toInt() : 0};
}

toolkit::Control menuItem(PlotWindow& window, const char* tag) {
  return toolkit::Control(toolkit::handleIn(qt::qtToolkit().controlRecord(window.handle()), tag));
}

void toggle(PlotWindow& window, const char* item, const char* other, bool zoom) {
  const toolkit::Control on = menuItem(window, item), off = menuItem(window, other);
  if (on.checked()) {
    on.setChecked(false);
    if (zoom) window.setZoomMode(false);
    return;
  }
  window.setZoomMode(zoom);
  on.setChecked(true);
  off.setChecked(false);
}

}  // namespace

toolkit::Handle subplot(int rows, int columns, int index) {
  if (rows < 1 || columns < 1 || index < 1 || index > rows * columns) {
    throw std::invalid_argument("Subplot: the index " + std::to_string(index) + " is not a cell of a " +
                                std::to_string(rows) + " x " + std::to_string(columns) + " grid");
  }
  PlotWindow& window = currentOrNewPlotWindow();
  if (gridOf(window) != std::pair(rows, columns)) {
    window.clear();
    window.setProperty("subplotRows", rows);
    window.setProperty("subplotColumns", columns);
  }
  const int row = (index - 1) / columns, column = (index - 1) % columns;
  QCPAxisRect* a = window.axesAt(row, column);
  if (a == nullptr) a = window.addAxes("", row, column);
  window.setCurrentAxes(a);
  window.plot()->replot();
  return qt::HandleTable::instance().handleOf(a);
}

QCPAxisRect* axesOf(toolkit::Handle h) {
  auto* a = dynamic_cast<QCPAxisRect*>(qt::HandleTable::instance().get(h));
  if (a == nullptr) throw std::invalid_argument("handle " + rt::shortestText(h) + " is not an axes");
  return a;
}

QCPAxisRect* currentAxes() {
  PlotWindow& window = currentOrNewPlotWindow();
  if (window.currentAxes() == nullptr) window.addAxes("");
  return window.currentAxes();
}

void setAxesText(QCPAxisRect* a, AxesText which, const std::string& text) {
  PlotWindow& window = windowOfAxes(a);
  const QString q = QString::fromStdString(text);
  if (which == AxesText::kTitle) window.setAxesTitle(a, text);
  else if (which == AxesText::kXLabel) a->axis(QCPAxis::atBottom)->setLabel(q);
  else a->axis(QCPAxis::atLeft)->setLabel(q);
  window.plot()->replot();
}

void clearFigure(PlotWindow& window) {
  window.clear();
  window.setProperty("subplotRows", QVariant());
  window.setProperty("subplotColumns", QVariant());
}

void toggleZoom(PlotWindow& window) { toggle(window, "VX_Zoom", "VX_Rotate", true); }

void toggleRotate(PlotWindow& window) { toggle(window, "VX_Rotate", "VX_Zoom", false); }

}  // namespace dot11b::plots::views
