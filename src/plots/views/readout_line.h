// SPDX-License-Identifier: GPL-3.0-or-later
// The line under a plot that reads out the values under the mouse pointer.
#pragma once

#include <QLabel>
#include <QString>

namespace dot11b::plots::views {

// One line of text that never widens its window: when the window is too narrow for the whole text (a
// small window, a large font), it ends in "…" and shows the whole text as its tooltip, instead of
// being cut off in the middle of a letter.
class ReadoutLine : public QLabel {
 public:
  explicit ReadoutLine(QWidget* parent);
  void setLine(const QString& text);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void fit();

  QString line_;
};

}  // namespace dot11b::plots::views
