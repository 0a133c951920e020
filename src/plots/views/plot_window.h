// SPDX-License-Identifier: GPL-3.0-or-later
// The window every view opens in: a menu bar (File, Edit, Tools), a plot of one or more axes, and a
// readout of the value under the mouse pointer. Curves are kept in full and handed to the drawing
// reduced to the screen's resolution, again after every zoom.
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "plots/placement.h"
#include "toolkit/toolkit.h"

class QCustomPlot;
class QCPAxisRect;
class QCPTextElement;

namespace dot11b::plots::views {

class ReadoutLine;

class PlotWindow : public QWidget {
 public:
  // A hidden window named `name`, with its menus, in the handle table; placed later by place().
  static PlotWindow* create(const std::string& name);

  toolkit::Handle handle() const;
  QCustomPlot* plot() const { return plot_; }

  // New axes in cell (row, column) of the window's grid, tagged `tag`, with a handle of their own.
  QCPAxisRect* addAxes(const std::string& tag, int row = 0, int column = 0);
  // The axes of a cell, or nullptr.
  QCPAxisRect* axesAt(int row, int column) const;
  const std::vector<QCPAxisRect*>& axes() const { return axes_; }
  QCPAxisRect* currentAxes() const { return current_; }
  void setCurrentAxes(QCPAxisRect* a) { current_ = a; }
  // Removes every axes and what they show.
  void clear();

  // The title above the axes ("" removes it).
  void setAxesTitle(QCPAxisRect* a, const std::string& title);
  std::string axesTitle(QCPAxisRect* a) const;

  // Runs before each drawing, once the layout has settled: where curves are reduced to the pixels shown.
  void addRefresher(std::function<void()> refresh) { refreshers_.push_back(std::move(refresh)); }
  // Writes the plotted data, every point, as CSV.
  void setCsv(std::function<void(std::ostream&)> csv) { csv_ = std::move(csv); }

  // Places the window (relative to `parent`, or the screen for kScreen), keeps it on the screen, takes the
  // present view of each axes as its full view and shows the window.
  void place(ViewKind view, toolkit::Handle parent);

  void setZoomMode(bool on);
  // Every axes back to its full view.
  void resetZoom();
  // PNG, PDF or CSV by the file's extension; a size of 0 takes the window's.
  void exportTo(const std::string& path, int width = 0, int height = 0);
  void copyToClipboard();

 private:
  PlotWindow();
  void showReadout(const QPoint& pixel);
  // Moves the window off the place of another plot window already open there.
  void moveClearOfOtherPlots();

  QCustomPlot* plot_;
  ReadoutLine* readout_;
  std::vector<QCPAxisRect*> axes_;
  std::map<QCPAxisRect*, QCPTextElement*> titles_;
  std::map<QCPAxisRect*, std::pair<int, int>> cells_;
  std::map<QCPAxisRect*, std::array<double, 4>> home_;
  QCPAxisRect* current_ = nullptr;
  std::vector<std::function<void()>> refreshers_;
  std::function<void(std::ostream&)> csv_;
};

// The plot window of a handle (a window, or any handle in it); throws when it is none.
PlotWindow* plotWindowOf(toolkit::Handle h);
// The window that plotting routines draw into: the last plot window opened or brought to the front.
PlotWindow* currentPlotWindow();
// Opens a new one when there is none.
PlotWindow& currentOrNewPlotWindow();

}  // namespace dot11b::plots::views
