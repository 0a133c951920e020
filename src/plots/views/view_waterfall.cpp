// SPDX-License-Identifier: GPL-3.0-or-later
// The waterfall: the spectrum of successive time slices as a colour map in dB, earliest slice on top.
#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <exception>

#include "plots/csv_export.h"
#include "plots/views/series.h"
#include "plots/views/views.h"
#include "plots/waterfall.h"
#include "toolkit/dialogs.h"

namespace dot11b::plots::views {

namespace {

// The bins of the visible frequency range, reduced to the axes' pixel columns by their peaks.
void refill(QCPColorMap* map, const Waterfall& w, const QCPRange& visible, int pixels) {
  const auto binOf = [&w](double f) {
    const double step = (w.frequency.size() > 1 ? w.frequency[1] - w.frequency[0] : 1);
    return static_cast<std::size_t>(
        std::clamp(std::floor((f - w.frequency.front()) / step), 0.0, static_cast<double>(w.bins)));
  };
  const std::size_t first = std::min(binOf(visible.lower), w.bins - 1);
  const std::size_t end = std::max(first + 1, std::min(binOf(visible.upper) + 2, w.bins));
  const std::size_t columns = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(pixels, 1)), 1, end - first);
  QCPColorMapData* data = map->data();
  data->setSize(static_cast<int>(columns), static_cast<int>(w.slices));
  const double sliceLength = w.duration / static_cast<double>(w.slices);
  const double binWidth = w.bins > 1 ? w.frequency[1] - w.frequency[0] : w.fMax - w.fMin;
  const double lowEdge = w.frequency[first] - binWidth / 2, highEdge = w.frequency[end - 1] + binWidth / 2;
  const double columnWidth = (highEdge - lowEdge) / static_cast<double>(columns);
  data->setRange(QCPRange(lowEdge + columnWidth / 2, highEdge - columnWidth / 2),
                 QCPRange(sliceLength / 2, w.duration - sliceLength / 2));
  for (std::size_t s = 0; s < w.slices; ++s) {
    const std::vector<double> peaks = peakColumns(w, s, first, end, columns);
    for (std::size_t c = 0; c < peaks.size(); ++c) data->setCell(static_cast<int>(c), static_cast<int>(s), peaks[c]);
  }
}

}  // namespace

PlotWindow& drawWaterfall(SharedSamples iq, double sampleRate, double sliceSeconds) {
  auto w = std::make_shared<const Waterfall>(computeWaterfall(*iq, sampleRate, sliceSeconds));
  PlotWindow* window = PlotWindow::create("Spectrum Waterfall");
  QCPAxisRect* a = window->addAxes("VX_Waterfall");
  auto* map = new QCPColorMap(a->axis(QCPAxis::atBottom), a->axis(QCPAxis::atLeft));
  map->setName("dB");
  map->setInterpolate(false);
  map->setTightBoundary(true);
  auto* scale = new QCPColorScale(window->plot());
  static_cast<QCPLayoutGrid*>(a->layout())->addElement(1, 1, scale);
  scale->setType(QCPAxis::atRight);
  scale->axis()->setLabel("Magnitude (dB)");
  map->setColorScale(scale);
  map->setGradient(QCPColorGradient::gpJet);
  const double floorDb = *std::min_element(w->db.begin(), w->db.end());
  map->setDataRange(QCPRange(std::min(floorDb, -1.0), 0));
  auto margins = new QCPMarginGroup(window->plot());
  a->setMarginGroup(QCP::msBottom | QCP::msTop, margins);
  scale->setMarginGroup(QCP::msBottom | QCP::msTop, margins);

  auto shown = std::make_shared<std::pair<QCPRange, int>>();
  window->addRefresher([map, a, w, shown] {
    const QCPRange visible = a->axis(QCPAxis::atBottom)->range();
    if (shown->first == visible && shown->second == a->width()) return;
    *shown = {visible, a->width()};
    refill(map, *w, visible, a->width());
  });
  setRanges(a, w->fMin, w->fMax, 0, w->duration);
  a->axis(QCPAxis::atLeft)->setRangeReversed(true);
  a->axis(QCPAxis::atRight)->setRangeReversed(true);
  window->setAxesTitle(a, "Spectrum Waterfall");
  label(a, "Frequency (" + w->frequencyUnit.name + ")", "Time (" + w->timeUnit.name + ")");
  window->setCsv([w](std::ostream& out) { writeCsv(out, *w); });
  return *window;
}

toolkit::Handle showWaterfall(toolkit::Handle parent, const std::string& title, double sampleRate, double sliceSeconds,
                            SharedSamples iq) {
  try {
    PlotWindow& window = drawWaterfall(std::move(iq), sampleRate, sliceSeconds);
    window.setWindowTitle(QString::fromStdString(namePrefix(ViewKind::kWaterfall) + title));
    window.place(ViewKind::kWaterfall, parent);
    return window.handle();
  } catch (const std::exception& e) {
    toolkit::dialogs().error(std::string("Unable to Plot Waterfall\n") + e.what(), "Plot Error");
    return 0;
  }
}

}  // namespace dot11b::plots::views
