// SPDX-License-Identifier: GPL-3.0-or-later
// The CCDF and the spectrum views.
#include <qcustomplot.h>

#include <cmath>

#include "plots/ccdf.h"
#include "plots/csv_export.h"
#include "plots/spectrum.h"
#include "plots/views/series.h"
#include "plots/views/views.h"

namespace dot11b::plots::views {

void label(QCPAxisRect* a, const std::string& x, const std::string& y) {
  a->axis(QCPAxis::atBottom)->setLabel(QString::fromStdString(x));
  a->axis(QCPAxis::atLeft)->setLabel(QString::fromStdString(y));
  a->axis(QCPAxis::atBottom)->setLabelColor(Qt::black);
  a->axis(QCPAxis::atLeft)->setLabelColor(Qt::black);
}

toolkit::Handle showCcdf(toolkit::Handle parent, const std::string& title, SharedSamples iq) {
  auto ccdf = std::make_shared<const Ccdf>(computeCcdf(*iq));
  PlotWindow* window = PlotWindow::create(namePrefix(ViewKind::kCcdf) + title);
  QCPAxisRect* a = window->addAxes("VX_CCDF");
  const Column x(ccdf, &ccdf->thresholdsDb);
  addCurve(*window, a, x, Column(ccdf, &ccdf->measuredPercent), QPen(Qt::blue));
  addCurve(*window, a, x, Column(ccdf, &ccdf->referencePercent), QPen(QColor::fromRgbF(0.7, 0.7, 0.7)));
  QCPAxis* y = a->axis(QCPAxis::atLeft);
  y->setScaleType(QCPAxis::stLogarithmic);
  y->setTicker(QSharedPointer<QCPAxisTickerLog>::create());
  a->axis(QCPAxis::atRight)->setScaleType(QCPAxis::stLogarithmic);
  a->axis(QCPAxis::atRight)->setTicker(y->ticker());
  auto ticks = QSharedPointer<QCPAxisTickerFixed>::create();
  ticks->setTickStep(2);
  ticks->setScaleStrategy(QCPAxisTickerFixed::ssNone);
  a->axis(QCPAxis::atBottom)->setTicker(ticks);
  a->axis(QCPAxis::atTop)->setTicker(ticks);
  setRanges(a, 0, ccdf->maxDb, ccdf->floorPercent, 100);
  window->setAxesTitle(a, "CCDF");
  label(a, "dB above Average", "Frequency of occurence (%)");
  window->setCsv([ccdf](std::ostream& out) { writeCsv(out, *ccdf); });
  window->place(ViewKind::kCcdf, parent);
  return window->handle();
}

toolkit::Handle showSpectrum(toolkit::Handle parent, const std::string& title, double sampleRate, SharedSamples iq) {
  auto spectrum = std::make_shared<const Spectrum>(computeSpectrum(*iq, sampleRate));
  PlotWindow* window = PlotWindow::create(namePrefix(ViewKind::kSpectrum) + title);
  QCPAxisRect* a = window->addAxes("VX_Spectrum");
  // The columns share the spectrum's own vectors.
  addCurve(*window, a, Column(spectrum, &spectrum->frequency), Column(spectrum, &spectrum->magnitudeDb), QPen(Qt::blue));
  setRanges(a, spectrum->fMin, spectrum->fMax, spectrum->dbMin, spectrum->dbMax);
  window->setAxesTitle(a, "Spectrum");
  label(a, "Frequency (" + spectrum->unit.name + ")", "LogMag (dB)");
  window->setCsv([spectrum](std::ostream& out) { writeCsv(out, *spectrum); });
  window->place(ViewKind::kSpectrum, parent);
  return window->handle();
}

}  // namespace dot11b::plots::views
