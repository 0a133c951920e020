// SPDX-License-Identifier: GPL-3.0-or-later
#include "plots/views/readout_line.h"

namespace dot11b::plots::views {

ReadoutLine::ReadoutLine(QWidget* parent) : QLabel(parent) {
  // As wide as the window makes it, whatever the text.
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void ReadoutLine::setLine(const QString& text) {
  line_ = text;
  fit();
}

void ReadoutLine::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  fit();
}

void ReadoutLine::fit() {
  const QString shown = fontMetrics().elidedText(line_, Qt::ElideRight, contentsRect().width());
  setText(shown);
  setToolTip(shown == line_ ? QString() : line_);
}

}  // namespace dot11b::plots::views
