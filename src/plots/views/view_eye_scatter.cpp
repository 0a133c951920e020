// SPDX-License-Identifier: GPL-3.0-or-later
// The eye and scatter diagrams: the general drawing routines and the views that frame them.
#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <exception>

#include "plots/csv_export.h"
#include "plots/views/series.h"
#include "plots/views/views.h"
#include "qt/qt_toolkit.h"
#include "toolkit/dialogs.h"

namespace dot11b::plots::views {

namespace {

QColor colorOf(char letter) {
  switch (letter) {
    case 'r': return Qt::red;
    case 'g': return QColor(0, 160, 0);
    case 'c': return Qt::cyan;
    case 'm': return Qt::magenta;
    case 'y': return Qt::yellow;
    case 'k': return Qt::black;
    default: return Qt::blue;
  }
}

// One part of an eye: the I or the Q traces, drawn exactly or, when there are very many, as a density.
void eyeAxes(PlotWindow& window, QCPAxisRect* a, std::shared_ptr<const Eye> eye, SharedSamples iq, bool quadrature) {
  const auto part = [quadrature](const std::complex<double>& s) { return quadrature ? s.imag() : s.real(); };
  const std::size_t points = eye->traces * (eye->n + 2);
  if (points > kExactPointLimit) {
    addDensity(window, a, eye->traces, [eye, iq, part](Raster& r, std::size_t first, std::size_t end) {
      for (std::size_t t = first; t < end; ++t)
        for (std::size_t j = 0; j < eye->n && eye->has(t, j + 1); ++j)
          r.addSegment(eye->time[j], part(eye->at(t, j)), eye->time[j + 1], part(eye->at(t, j + 1)));
    }, Qt::blue);
  } else {
    // The traces one after another, each ended by a gap.
    std::vector<double> x, y;
    for (std::size_t t = 0; t < eye->traces; ++t) {
      for (std::size_t j = 0; j <= eye->n && eye->has(t, j); ++j) {
        x.push_back(eye->time[j]);
        y.push_back(part(eye->at(t, j)));
      }
      x.push_back(NAN);
      y.push_back(NAN);
    }
    addPlane(window, a, std::make_shared<const std::vector<double>>(std::move(x)),
             std::make_shared<const std::vector<double>>(std::move(y)), Mark::kLine, Qt::blue);
  }
  const double amplitude = axisAmplitude(*iq);
  setRanges(a, 0, eye->time.back(), -amplitude, amplitude);
  window.setAxesTitle(a, quadrature ? "Eye Diagram for Quadrature Signal" : "Eye Diagram for In-Phase Signal");
  label(a, "Time (" + eye->unit.name + ")", "Amplitude (V)");
}

// The frame a view puts round a drawing: its name and place; the window shows once placed.
toolkit::Handle frame(PlotWindow& window, ViewKind view, toolkit::Handle parent, const std::string& title) {
  window.setWindowTitle(QString::fromStdString(namePrefix(view) + title));
  window.place(view, parent);
  return window.handle();
}

void reportFailure(const std::string& what, const std::exception& e) {
  toolkit::dialogs().error(what + "\n" + e.what(), "Plot Error");
}

}  // namespace

PlotWindow& drawEye(SharedSamples iq, const ClampedEye& settings) {
  auto eye = std::make_shared<const Eye>(computeEye(*iq, settings));
  PlotWindow* window = PlotWindow::create("Eye Diagram");
  try {
    eyeAxes(*window, window->addAxes("VX_EyeI", 0, 0), eye, iq, false);
    eyeAxes(*window, window->addAxes("VX_EyeQ", 1, 0), eye, iq, true);
  } catch (...) {
    qt::qtToolkit().close(window->handle());
    throw;
  }
  window->setCsv([eye, iq](std::ostream& out) { writeCsv(out, *eye); });
  return *window;
}

void drawScatter(PlotWindow& window, SharedSamples iq, const ClampedScatter& settings, const std::string& style) {
  if (iq->empty()) throw std::invalid_argument("there are no samples to draw");
  QCPAxisRect* a = window.currentAxes() != nullptr ? window.currentAxes() : window.addAxes("VX_Scatter");
  auto points = std::make_shared<const Samples>(scatterPoints(*iq, settings));
  auto i = std::make_shared<std::vector<double>>(), q = std::make_shared<std::vector<double>>();
  i->reserve(points->size());
  q->reserve(points->size());
  for (const auto& p : *points) {
    i->push_back(p.real());
    q->push_back(p.imag());
  }
  const bool line = style.find('-') != std::string::npos;
  addPlane(window, a, i, q, line ? Mark::kLine : Mark::kDot, colorOf(style.empty() ? 'b' : style.front()));
  const double amplitude = axisAmplitude(*iq);
  setRanges(a, -amplitude, amplitude, -amplitude, amplitude);
  window.setAxesTitle(a, "Scatter plot");
  label(a, "In-Phase (V)", "Quadrature (V)");
  window.setCsv([iq, settings](std::ostream& out) { writeScatterCsv(out, *iq, settings); });
}

toolkit::Handle showEyeDiagram(toolkit::Handle parent, const std::string& title, SharedSamples iq,
                               const EyeSettings& settings) {
  try {
    return frame(drawEye(std::move(iq), clampEye(settings)), ViewKind::kEye, parent, title);
  } catch (const std::exception& e) {
    reportFailure("Unable to Plot Eye Diagram", e);
    return 0;
  }
}

toolkit::Handle showScatterDiagram(toolkit::Handle parent, const std::string& title, SharedSamples iq,
                                   double samplesPerSymbol, double offset, bool traceOn) {
  PlotWindow* window = nullptr;
  try {
    const ClampedScatter settings = clampScatter(samplesPerSymbol, offset);
    window = PlotWindow::create("Scatter Diagram");
    if (traceOn) drawScatter(*window, iq, {1, 0}, "c-");
    drawScatter(*window, iq, settings, "b.");
    return frame(*window, ViewKind::kScatter, parent, title);
  } catch (const std::exception& e) {
    if (const toolkit::Handle h = window != nullptr ? window->handle() : 0; h != 0) qt::qtToolkit().close(h);
    reportFailure("Unable to Plot Scatter Diagram", e);
    return 0;
  }
}

}  // namespace dot11b::plots::views
