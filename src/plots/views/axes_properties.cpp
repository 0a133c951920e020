// SPDX-License-Identifier: GPL-3.0-or-later
// The properties of axes by name: XLim, YLim, XScale, YScale ("linear" or "log"), Title, XLabel, YLabel
// and Position ([x y width height] as fractions of the plot, y from the bottom).
#include <qcustomplot.h>

#include <cmath>
#include <stdexcept>

#include "plots/views/figure_routines.h"
#include "plots/views/plot_window.h"
#include "qt/handle_table.h"
#include "qt/properties.h"

namespace dot11b::plots::views {

namespace {

using rt::Value;

QCPAxis* axisFor(QCPAxisRect* a, std::string_view p) {
  return a->axis(p.front() == 'X' ? QCPAxis::atBottom : QCPAxis::atLeft);
}

QCPRange limitsOf(std::string_view p, const Value& v) {
  if (!v.isNumeric() || v.numel() != 2 || v.isComplex() || !std::isfinite(v.re(0)) || !std::isfinite(v.re(1)) ||
      !(v.re(1) > v.re(0))) {
    throw std::invalid_argument(std::string(p) + " must be [low high] with low below high");
  }
  return {v.re(0), v.re(1)};
}

std::string textOf(std::string_view p, const Value& v) {
  if (!v.isText() && !v.isEmpty()) throw std::invalid_argument(std::string(p) + " must be text");
  return v.isText() ? v.toUtf8() : std::string();
}

Value positionOf(QCPAxisRect* a) {
  const QRect plot = a->parentPlot()->viewport(), r = a->rect();
  const double w = std::max(plot.width(), 1), h = std::max(plot.height(), 1);
  return Value::row({r.left() / w, (plot.height() - r.bottom() - 1) / h, r.width() / w, r.height() / h});
}

class AxesProperties : public qt::PropertyExtension {
 public:
  bool get(QObject* o, std::string_view p, Value& out) const override {
    auto* a = dynamic_cast<QCPAxisRect*>(o);
    if (a == nullptr) return false;
    if (p == "XLim" || p == "YLim") {
      const QCPRange r = axisFor(a, p)->range();
      out = Value::row({r.lower, r.upper});
    } else if (p == "XScale" || p == "YScale") {
      out = Value::text(axisFor(a, p)->scaleType() == QCPAxis::stLogarithmic ? "log" : "linear");
    } else if (p == "XLabel" || p == "YLabel") {
      out = Value::text(axisFor(a, p)->label().toStdString());
    } else if (p == "Title") {
      out = Value::text(plotWindowOf(qt::HandleTable::instance().handleOf(a))->axesTitle(a));
    } else if (p == "Position") {
      out = positionOf(a);
    } else {
      return false;
    }
    return true;
  }

  bool set(QObject* o, std::string_view p, const Value& v) const override {
    auto* a = dynamic_cast<QCPAxisRect*>(o);
    if (a == nullptr) return false;
    if (p == "XLim" || p == "YLim") {
      axisFor(a, p)->setRange(limitsOf(p, v));
    } else if (p == "XScale" || p == "YScale") {
      const std::string scale = textOf(p, v);
      if (scale != "linear" && scale != "log")
        throw std::invalid_argument(std::string(p) + " must be 'linear' or 'log'");
      axisFor(a, p)->setScaleType(scale == "log" ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
    } else if (p == "XLabel") {
      setAxesText(a, AxesText::kXLabel, textOf(p, v));
    } else if (p == "YLabel") {
      setAxesText(a, AxesText::kYLabel, textOf(p, v));
    } else if (p == "Title") {
      setAxesText(a, AxesText::kTitle, textOf(p, v));
    } else {
      return false;
    }
    a->parentPlot()->replot();
    return true;
  }
};

}  // namespace

void installAxesProperties() {
  static const AxesProperties properties;
  qt::addPropertyExtension(&properties);
}

}  // namespace dot11b::plots::views
