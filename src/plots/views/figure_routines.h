// SPDX-License-Identifier: GPL-3.0-or-later
// The general drawing routines that act on the current plot window and its current axes, as a script
// uses them: Subplot, Title, Xlabel, Ylabel, Clf, and the zoom and rotate switches of the Tools menu.
#pragma once

#include <string>

#include "plots/views/plot_window.h"

namespace dot11b::plots::views {

// The axes in cell `index` (from 1, row by row) of a rows x columns grid of the current window (a new
// window when there is none), made current; a grid of another shape replaces the window's axes.
toolkit::Handle subplot(int rows, int columns, int index);

// The axes of a handle; throws when it names none.
QCPAxisRect* axesOf(toolkit::Handle h);
// The current axes of the current window, created when there are none.
QCPAxisRect* currentAxes();

enum class AxesText { kTitle, kXLabel, kYLabel };
void setAxesText(QCPAxisRect* axes, AxesText which, const std::string& text);

// Removes every axes of the window.
void clearFigure(PlotWindow& window);

// The Zoom and Rotate items of the Tools menu switch by their check marks: switching one on switches
// the other off. This system has no 3-D views, so rotation only leaves zoom mode.
void toggleZoom(PlotWindow& window);
void toggleRotate(PlotWindow& window);

// Lets the window layer read and set the properties of axes; called once before any plot opens.
void installAxesProperties();

}  // namespace dot11b::plots::views
