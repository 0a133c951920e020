// SPDX-License-Identifier: GPL-3.0-or-later
// The CCDF and the spectrum views.
#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

#include "plots/ccdf.h"
#include "plots/csv_export.h"
#include "plots/spectrum.h"
#include "plots/views/series.h"
#include "plots/views/views.h"

namespace dot11b::plots::views {

namespace {

// Ticks every `step` with a label on every tick, or on every second, third ... tick (counted from 0)
// where the labels would otherwise touch at the axis's present width.
class SpacedLabelTicker : public QCPAxisTickerFixed {
 public:
  SpacedLabelTicker(QCPAxis* axis, double step) : axis_(axis) {
    setTickStep(step);
    setScaleStrategy(QCPAxisTickerFixed::ssNone);
  }

 protected:
  QVector<double> createTickVector(double step, const QCPRange& range) override {
    const QVector<double> ticks = QCPAxisTickerFixed::createTickVector(step, range);
    const QFontMetrics metrics(axis_->tickLabelFont());
    int widest = 0;
    for (double t : ticks) widest = std::max(widest, metrics.horizontalAdvance(QString::number(t)));
    const double spacing = std::abs(axis_->coordToPixel(step) - axis_->coordToPixel(0));
    // At least a space's width between two labels.
    const double needed = widest + metrics.horizontalAdvance(QStringLiteral("  "));
    every_ = spacing > 0 ? std::max(1, static_cast<int>(std::ceil(needed / spacing))) : 1;
    return ticks;
  }

  QString getTickLabel(double tick, const QLocale& locale, QChar formatChar, int precision) override {
    const auto index = std::llround(tick / tickStep());
    return index % every_ == 0 ? QCPAxisTickerFixed::getTickLabel(tick, locale, formatChar, precision) : QString();
  }

 private:
  QCPAxis* axis_;
  int every_ = 1;
};

}  // namespace

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
  // A tick every 2 dB; labels that would run together are thinned out, the ticks kept.
  auto ticks = QSharedPointer<SpacedLabelTicker>::create(a->axis(QCPAxis::atBottom), 2);
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
  addCurve(*window, a, Column(spectrum, &spectrum->frequency), Column(spectrum, &spectrum->magnitudeDb),
           QPen(Qt::blue));
  setRanges(a, spectrum->fMin, spectrum->fMax, spectrum->dbMin, spectrum->dbMax);
  window->setAxesTitle(a, "Spectrum");
  label(a, "Frequency (" + spectrum->unit.name + ")", "LogMag (dB)");
  window->setCsv([spectrum](std::ostream& out) { writeCsv(out, *spectrum); });
  window->place(ViewKind::kSpectrum, parent);
  return window->handle();
}

}  // namespace dot11b::plots::views
