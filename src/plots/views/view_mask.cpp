// SPDX-License-Identifier: GPL-3.0-or-later
// A frame's measured spectrum against the transmit spectrum mask.
#include <qcustomplot.h>

#include "plots/csv_export.h"
#include "plots/mask_plot.h"
#include "plots/views/series.h"
#include "plots/views/views.h"

namespace dot11b::plots::views {

toolkit::Handle showMask(toolkit::Handle parent, const std::string& title, std::shared_ptr<const MaskPlot> mask) {
  PlotWindow* window = PlotWindow::create(namePrefix(ViewKind::kMask) + title);
  QCPAxisRect* a = window->addAxes("VX_Mask");
  QCPGraph* measured =
      addCurve(*window, a, Column(mask, &mask->frequencyMhz), Column(mask, &mask->measuredDbr), QPen(Qt::blue));
  QCPAbstractPlottable* limit = addPlane(*window, a, Column(mask, &mask->stepMhz), Column(mask, &mask->stepDbr),
                                         Mark::kLine, QColor(Qt::red));
  limit->setPen(QPen(Qt::red, 1.5));

  // Below the axes, where it covers none of the trace whatever the spectrum looks like: the legend names
  // the margins and is as wide as most of a small window.
  auto* legend = new QCPLegend;
  auto* cell = static_cast<QCPLayoutGrid*>(a->layout());
  cell->addElement(2, 0, legend);
  cell->setRowStretchFactor(2, 0.001);
  legend->setLayer("legend");
  legend->setBorderPen(Qt::NoPen);
  // Lined up with the axes' frame rather than the window's edge.
  auto* left = new QCPMarginGroup(window->plot());
  a->setMarginGroup(QCP::msLeft, left);
  legend->setMarginGroup(QCP::msLeft, left);
  legend->setFont(QFont(legend->font().family(), 8));
  measured->setName("Measured (100 kHz RBW)");
  // One line for each region of the mask, so that the legend fits the width of the smallest window.
  limit->setName(QString::fromStdString(mask->maskLegend).replace("; ", ";\n"));
  measured->addToLegend(legend);
  limit->addToLegend(legend);

  setRanges(a, mask->fMin, mask->fMax, mask->dbMin, mask->dbMax);
  // Whole tens of dB on the level axis.
  auto tens = QSharedPointer<QCPAxisTickerFixed>::create();
  tens->setTickStep(10);
  tens->setScaleStrategy(QCPAxisTickerFixed::ssMultiples);
  a->axis(QCPAxis::atLeft)->setTicker(tens);
  a->axis(QCPAxis::atRight)->setTicker(tens);
  window->setAxesTitle(a, mask->title);
  label(a, "Frequency off the carrier (MHz)", "Level (dBr)");
  window->setCsv([mask](std::ostream& out) { writeCsv(out, *mask); });
  window->place(ViewKind::kMask, parent);
  return window->handle();
}

}  // namespace dot11b::plots::views
