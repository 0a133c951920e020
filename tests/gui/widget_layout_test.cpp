// SPDX-License-Identifier: GPL-3.0-or-later
// The windows' layouts as a user sees them, from the widgets' geometry: the connection dialog with a long
// test result, the filter rows, the CCDF's tick labels, and plot windows opened one after another.
#include <qcustomplot.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <cmath>
#include <cstdlib>

#include "app_driver.h"
#include "widget_finder.h"

namespace dot11b::gui_test {
namespace {

using WidgetLayout = AppTest;

// The widget's rectangle in the coordinates of its window.
QRect inWindow(const QWidget* w) { return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size()); }

// Lays out every window as the event loop does before it draws.
void settle() {
  for (int k = 0; k < 3; ++k) QApplication::processEvents();
}

TEST_F(WidgetLayout, AFailedConnectionTestKeepsTheDialogsControlsWhole) {
  std::string status;
  onWait = [&](double) {
    click("pbCheckHardware");  // GPIB at the start values: no instrument, a long explanation
    settle();
    QWidget* dialog = widget("figureVisaAddress");
    auto* label = dialog->findChild<QLabel*>("lblStatus");
    status = label->text().toStdString();
    // Every list keeps its height; no two visible controls overlap.
    std::vector<QWidget*> controls;
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
      if (!w->isVisible() || w->objectName().isEmpty() || w->objectName().startsWith("qt_")) continue;
      if (auto* list = qobject_cast<QComboBox*>(w)) {
        EXPECT_GE(list->height(), list->sizeHint().height()) << w->objectName().toStdString();
      }
      const bool control = qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w);
      if (control && w != label) {
        controls.push_back(w);
      }
    }
    EXPECT_GE(controls.size(), 8u);
    for (std::size_t i = 0; i < controls.size(); ++i) {
      for (std::size_t j = i + 1; j < controls.size(); ++j) {
        EXPECT_FALSE(inWindow(controls[i]).intersects(inWindow(controls[j])))
            << controls[i]->objectName().toStdString() << " and " << controls[j]->objectName().toStdString();
      }
    }
    // The message is laid out whole in its own area, which scrolls to its end, inside the dialog.
    auto* area = dialog->findChild<QScrollArea*>("statusArea");
    EXPECT_GE(label->height(), label->heightForWidth(label->width()));
    EXPECT_LE(label->width(), area->viewport()->width());
    EXPECT_GE(area->verticalScrollBar()->maximum() + area->viewport()->height(), label->height());
    EXPECT_TRUE(dialog->rect().contains(inWindow(area)));
    click("pbCancel");
  };
  call("VX_SigGen", {}, 2);
  EXPECT_GT(status.size(), 150u) << status;
}

TEST_F(WidgetLayout, HiddenFilterRowsKeepTheirSpace) {
  const auto rowsAt = [] {
    std::vector<int> y;
    for (const char* tag : {"txtOversampleRate", "pdFilterType", "chkMirrorSpectrum"}) {
      y.push_back(inWindow(widget(tag)).y());
    }
    return y;
  };
  settle();
  const std::vector<int> shown = rowsAt();
  choose("pdFilterType", 1);  // no filter: its settings are hidden
  settle();
  ASSERT_FALSE(widget("txtFilterTaps")->isVisible());
  EXPECT_EQ(rowsAt(), shown);
}

TEST_F(WidgetLayout, CcdfTickLabelsDoNotRunTogetherAt40Db) {
  // One sample 40 dB above the average of 20000: the axis runs to 40.4 dB in the default 340-pixel window.
  std::vector<double> re(20000, 1.0);
  re[0] = std::sqrt(19999.0);
  call1("VX_PlotCCDF", {Value::scalar(0), Value::text("peak"), Value::row(re)});
  settle();
  const QCPAxis* x = nullptr;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (auto* a = top->findChild<QCPAxisRect*>("VX_CCDF")) x = a->axis(QCPAxis::atBottom);
  }
  ASSERT_NE(x, nullptr);
  EXPECT_NEAR(x->range().upper, 40.4, 1e-9);
  const QVector<double> ticks = x->tickVector();
  const QVector<QString> labels = x->tickVectorLabels();
  ASSERT_EQ(ticks.size(), 21);  // every 2 dB, all kept
  for (int k = 0; k < ticks.size(); ++k) EXPECT_EQ(ticks[k], 2 * k);
  const QFontMetrics metrics(x->tickLabelFont());
  double lastRight = -1e9;
  int labelled = 0;
  for (int k = 0; k < ticks.size(); ++k) {
    if (labels[k].isEmpty()) continue;
    ++labelled;
    const double half = metrics.horizontalAdvance(labels[k]) / 2.0, centre = x->coordToPixel(ticks[k]);
    EXPECT_GT(centre - half, lastRight) << "label " << labels[k].toStdString() << " touches the one before";
    lastRight = centre + half;
  }
  EXPECT_EQ(labels.front(), "0");
  EXPECT_GE(labelled, 7);  // at least every third tick
}

TEST_F(WidgetLayout, TwoPlotWindowsOpenedOneAfterAnotherDoNotCoverEachOther) {
  questionAnswers = {"Calculate & Plot"};
  click("menuPlotCCDF");
  click("menuPlotIQTime");  // the same place beside the main window
  settle();
  QRect first, second;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->findChild<QCPAxisRect*>("VX_CCDF") != nullptr) first = top->geometry();
    if (top->findChild<QCPAxisRect*>("VX_Iwave") != nullptr) second = top->geometry();
  }
  ASSERT_TRUE(first.isValid() && second.isValid());
  // A title bar's height apart both ways, the later one below: the earlier keeps its title bar in view.
  EXPECT_GE(std::abs(first.x() - second.x()), 30);
  EXPECT_GE(second.y() - first.y(), 30);
}

}  // namespace
}  // namespace dot11b::gui_test
