// SPDX-License-Identifier: GPL-3.0-or-later
// I and Q against time, on two axes or overlaid on one.
#include <qcustomplot.h>

#include "plots/csv_export.h"
#include "plots/iq_time.h"
#include "plots/views/series.h"
#include "plots/views/views.h"

namespace dot11b::plots::views {

namespace {

void timeAxes(PlotWindow& window, QCPAxisRect* a, const IqTime& v, const std::string& title) {
  setRanges(a, 0, v.tMax, -v.amplitude, v.amplitude);
  window.setAxesTitle(a, title);
  label(a, "Time (" + v.unit.name + ")", "Amplitude (V)");
}

}  // namespace

toolkit::Handle showIqTime(toolkit::Handle parent, const std::string& title, double sampleRate, bool overlay,
                           SharedSamples iq) {
  auto v = std::make_shared<const IqTime>(computeIqTime(*iq, sampleRate));
  PlotWindow* window = PlotWindow::create(namePrefix(ViewKind::kIqTime) + (v->testData ? "No Data" : title));
  const Column time(v, &v->time), i(v, &v->i), q(v, &v->q);
  if (overlay) {
    QCPAxisRect* a = window->addAxes("VX_IQwave");
    addCurve(*window, a, time, i, QPen(Qt::blue));
    addCurve(*window, a, time, q, QPen(Qt::magenta));
    timeAxes(*window, a, *v, "I(t) Q(t)");
  } else {
    QCPAxisRect* upper = window->addAxes("VX_Iwave", 0, 0);
    addCurve(*window, upper, time, i, QPen(Qt::blue));
    timeAxes(*window, upper, *v, "I(t)");
    QCPAxisRect* lower = window->addAxes("VX_Qwave", 1, 0);
    addCurve(*window, lower, time, q, QPen(Qt::blue));
    timeAxes(*window, lower, *v, "Q(t)");
    // The two time axes line up.
    auto* margins = new QCPMarginGroup(window->plot());
    upper->setMarginGroup(QCP::msLeft | QCP::msRight, margins);
    lower->setMarginGroup(QCP::msLeft | QCP::msRight, margins);
  }
  window->setCsv([v](std::ostream& out) { writeCsv(out, *v); });
  window->place(ViewKind::kIqTime, parent);
  return window->handle();
}

}  // namespace dot11b::plots::views
