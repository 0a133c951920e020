// SPDX-License-Identifier: GPL-3.0-or-later
// Packet error rate against SNR, one curve a rate, on a logarithmic PER axis.
#include <qcustomplot.h>

#include "plots/csv_export.h"
#include "plots/per_curves.h"
#include "plots/views/series.h"
#include "plots/views/views.h"

namespace dot11b::plots::views {

toolkit::Handle showPerCurves(toolkit::Handle parent, const std::string& title, std::shared_ptr<const PerCurves> c) {
  PlotWindow* window = PlotWindow::create(namePrefix(ViewKind::kPer) + title);
  QCPAxisRect* a = window->addAxes("VX_PER");
  auto* legend = new QCPLegend;
  // Low SNR and low PER, bottom left, is where the curves never are.
  a->insetLayout()->addElement(legend, Qt::AlignBottom | Qt::AlignLeft);
  legend->setLayer("legend");
  const Column snr(c, &c->snrDb);
  const QColor colours[] = {Qt::blue, Qt::darkGreen, Qt::red, Qt::magenta, Qt::darkCyan, Qt::darkYellow};
  for (std::size_t k = 0; k < c->curves.size(); ++k) {
    const QColor colour = colours[k % std::size(colours)];
    auto* curve = static_cast<QCPCurve*>(addPlane(*window, a, snr, Column(c, &c->curves[k].per), Mark::kLine, colour));
    curve->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, colour, colour, 5));
    curve->setName(QString::fromStdString(c->curves[k].name));
    curve->addToLegend(legend);
  }
  QCPAbstractPlottable* criterion =
      addPlane(*window, a, Column(c, &c->criterionSnr), Column(c, &c->criterionPer), Mark::kLine, Qt::gray);
  criterion->setPen(QPen(Qt::gray, 1, Qt::DashLine));
  criterion->setName("8 % (sensitivity criterion)");
  criterion->addToLegend(legend);

  for (QCPAxis* y : {a->axis(QCPAxis::atLeft), a->axis(QCPAxis::atRight)}) {
    y->setScaleType(QCPAxis::stLogarithmic);
    y->setTicker(QSharedPointer<QCPAxisTickerLog>::create());
  }
  auto whole = QSharedPointer<QCPAxisTickerFixed>::create();
  whole->setTickStep(c->snrTickStep);
  whole->setScaleStrategy(QCPAxisTickerFixed::ssNone);
  a->axis(QCPAxis::atBottom)->setTicker(whole);
  a->axis(QCPAxis::atTop)->setTicker(whole);
  setRanges(a, c->snrMin, c->snrMax, c->perMin, c->perMax);
  window->setAxesTitle(a, "Packet Error Rate");
  label(a, "SNR in the 11 MHz chip bandwidth (dB)", "PER");
  window->setCsv([c](std::ostream& out) { writeCsv(out, *c); });
  window->place(ViewKind::kPer, parent);
  return window->handle();
}

}  // namespace dot11b::plots::views
