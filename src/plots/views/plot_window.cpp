// SPDX-License-Identifier: GPL-3.0-or-later
#include "plots/views/plot_window.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QClipboard>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "plots/csv_export.h"
#include "plots/views/readout_line.h"
#include "qt/application.h"
#include "qt/handle_table.h"
#include "qt/qt_toolkit.h"
#include "runtime/shortest_text.h"
#include "toolkit/figures.h"

namespace dot11b::plots::views {

namespace {

QPointer<PlotWindow>& current() {
  static QPointer<PlotWindow> window;
  return window;
}

// What the readout line says while the pointer is not over a plot.
const char* const kReadoutHint = "Point at the plot to read values";

std::string callback(const char* subroutine) {
  return std::string("VX_PlotWindow('") + subroutine + "',gcbo,[],guidata(gcbo))";
}

void addMenus(toolkit::Handle window) {
  qt::QtToolkit& tk = qt::qtToolkit();
  const toolkit::Handle file = tk.addMenu(window, {"&File", "VX_File", ""});
  tk.addMenu(file, {"&Print", "VX_Print", callback("Print")});
  tk.addMenu(file, {"&Export...", "VX_Export", callback("Export")});
  tk.addMenu(file, {"&Close", "VX_Close", callback("Close"), true});
  const toolkit::Handle edit = tk.addMenu(window, {"&Edit", "VX_Edit", ""});
  tk.addMenu(edit, {"&Copy", "VX_Copy", callback("Copy")});
  const toolkit::Handle tools = tk.addMenu(window, {"&Tools", "VX_Tools", ""});
  tk.addMenu(tools, {"&Zoom", "VX_Zoom", callback("Zoom")});
  tk.addMenu(tools, {"&Rotate", "VX_Rotate", callback("Rotate"), false, true, false});
  tk.addMenu(tools, {"Zoom Re&set", "VX_ZoomReset", callback("ZoomReset"), true});
}

// "Time (uS)" -> "uS": the unit an axis label names in brackets.
QString unitOf(const QCPAxis* axis) {
  const QString label = axis->label();
  const auto open = label.lastIndexOf('('), close = label.lastIndexOf(')');
  return open >= 0 && close > open ? label.mid(open + 1, close - open - 1) : QString();
}

std::string lowerExtension(const std::string& path) {
  const auto dot = path.find_last_of('.');
  std::string ext = dot == std::string::npos ? "" : path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

// Remembers a window brought to the front as the one the plotting routines draw into.
class ActivationWatch : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::WindowActivate) current() = static_cast<PlotWindow*>(watched);
    return false;
  }
};

}  // namespace

PlotWindow::PlotWindow() : plot_(new QCustomPlot(this)), readout_(new ReadoutLine(this)) {
  setObjectName("VX_PlotWindow");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(plot_, 1);
  readout_->setObjectName("txtReadout");
  readout_->setContentsMargins(6, 2, 6, 2);
  readout_->setLine(kReadoutHint);
  readout_->setEnabled(false);  // drawn grey, as a hint
  layout->addWidget(readout_);
  plot_->plotLayout()->clear();
  plot_->setInteraction(QCP::iSelectPlottables, false);
  connect(plot_, &QCustomPlot::afterLayout, this, [this] {
    for (const auto& refresh : refreshers_) refresh();
  });
  connect(plot_, &QCustomPlot::mouseMove, this, [this](QMouseEvent* e) { showReadout(e->pos()); });
  installEventFilter(new ActivationWatch(this));
}

PlotWindow* PlotWindow::create(const std::string& name) {
  qt::ensureApplication();
  auto* window = new PlotWindow;
  window->setWindowTitle(QString::fromStdString(name));
  const toolkit::Handle h = qt::registerWindow(window);
  addMenus(h);
  current() = window;
  return window;
}

toolkit::Handle PlotWindow::handle() const { return qt::HandleTable::instance().handleOf(this); }

QCPAxisRect* PlotWindow::addAxes(const std::string& tag, int row, int column) {
  auto* cell = new QCPLayoutGrid;
  plot_->plotLayout()->addElement(row, column, cell);
  auto* a = new QCPAxisRect(plot_);
  cell->addElement(1, 0, a);
  cell->setRowSpacing(0);
  a->setObjectName(QString::fromStdString(tag));
  for (QCPAxis* axis : a->axes()) axis->grid()->setPen(QPen(QColor(160, 160, 160), 0, Qt::DotLine));
  for (QCPAxis* axis : {a->axis(QCPAxis::atTop), a->axis(QCPAxis::atRight)}) {
    axis->setVisible(true);  // a box round the axes, ticks without labels
    axis->setTickLabels(false);
  }
  a->axis(QCPAxis::atBottom)->grid()->setVisible(true);
  a->axis(QCPAxis::atLeft)->grid()->setVisible(true);
  connect(a->axis(QCPAxis::atBottom), qOverload<const QCPRange&>(&QCPAxis::rangeChanged), a->axis(QCPAxis::atTop),
          qOverload<const QCPRange&>(&QCPAxis::setRange));
  connect(a->axis(QCPAxis::atLeft), qOverload<const QCPRange&>(&QCPAxis::rangeChanged), a->axis(QCPAxis::atRight),
          qOverload<const QCPRange&>(&QCPAxis::setRange));
  qt::HandleTable::instance().add(a);
  axes_.push_back(a);
  cells_[a] = {row, column};
  current_ = a;
  return a;
}

QCPAxisRect* PlotWindow::axesAt(int row, int column) const {
  for (const auto& [a, cell] : cells_)
    if (cell == std::pair(row, column)) return a;
  return nullptr;
}

void PlotWindow::clear() {
  for (QCPAxisRect* a : axes_) qt::HandleTable::instance().forget(a);
  plot_->clearPlottables();
  plot_->plotLayout()->clear();
  axes_.clear();
  titles_.clear();
  cells_.clear();
  home_.clear();
  refreshers_.clear();
  csv_ = nullptr;
  current_ = nullptr;
  plot_->replot();
}

void PlotWindow::setAxesTitle(QCPAxisRect* a, const std::string& title) {
  auto* cell = static_cast<QCPLayoutGrid*>(a->layout());
  QCPTextElement*& element = titles_[a];
  if (element == nullptr) {
    element = new QCPTextElement(plot_, QString(), QFont(font().family(), font().pointSize() + 1, QFont::Bold));
    cell->addElement(0, 0, element);
  }
  element->setText(QString::fromStdString(title));
  element->setVisible(!title.empty());
}

std::string PlotWindow::axesTitle(QCPAxisRect* a) const {
  const auto it = titles_.find(a);
  return it == titles_.end() ? std::string() : it->second->text().toStdString();
}

void PlotWindow::place(ViewKind view, toolkit::Handle parent) {
  qt::QtToolkit& tk = qt::qtToolkit();
  const toolkit::Handle h = handle();
  std::optional<Rect> parentRect;
  if (parent != toolkit::kScreen && tk.isValid(parent)) {
    const rt::Value p = tk.get(parent, "Position");
    parentRect = Rect{p.re(0), p.re(1), p.re(2), p.re(3)};
    tk.set(h, "Units", tk.get(parent, "Units"));
  }
  const Rect r = plotWindowRect(view, parentRect);
  tk.set(h, "Position", rt::Value::row({r[0], r[1], r[2], r[3]}));
  toolkit::moveWindow(h, "onscreen");
  moveClearOfOtherPlots();
  plot_->replot();
  for (QCPAxisRect* a : axes_) {
    const QCPRange x = a->axis(QCPAxis::atBottom)->range(), y = a->axis(QCPAxis::atLeft)->range();
    home_[a] = {x.lower, x.upper, y.lower, y.upper};
  }
  tk.setAppData(h, tk.controlRecord(h));
  tk.show(h);
}

void PlotWindow::moveClearOfOtherPlots() {
  // Inner rectangles throughout: the window manager's frame is not known before a window is shown.
  std::vector<Corner> taken;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w == this || !w->isVisible() || dynamic_cast<PlotWindow*>(w) == nullptr) continue;
    taken.push_back({w->geometry().x(), w->geometry().y()});
  }
  const QRect own = geometry(), screen = this->screen()->availableGeometry();
  // About a title bar's height: the earlier window stays recognisable and within reach.
  constexpr int kStep = 32;
  const Corner corner = clearCorner({own.x(), own.y()}, {own.width(), own.height()},
                                    {screen.x(), screen.y(), screen.width(), screen.height()}, taken, kStep);
  setGeometry(QRect(QPoint(corner[0], corner[1]), own.size()));
}

void PlotWindow::setZoomMode(bool on) { plot_->setSelectionRectMode(on ? QCP::srmZoom : QCP::srmNone); }

void PlotWindow::resetZoom() {
  for (const auto& [a, r] : home_) {
    a->axis(QCPAxis::atBottom)->setRange(r[0], r[1]);
    a->axis(QCPAxis::atLeft)->setRange(r[2], r[3]);
  }
  plot_->replot();
}

void PlotWindow::exportTo(const std::string& path, int width, int height) {
  const std::string ext = lowerExtension(path);
  if (ext == "csv") {
    if (!csv_) throw std::runtime_error("this window has no data to export");
    writeCsvFile(path, csv_);
    return;
  }
  if (ext != "png" && ext != "pdf") throw std::invalid_argument("export to .png, .pdf or .csv, not '" + path + "'");
  const QRect shown = plot_->viewport();
  width = width > 0 ? width : shown.width();
  height = height > 0 ? height : shown.height();
  // Drawing the file lays the plot out at the file's size, and so reduces the curves for it. The window
  // is laid out and reduced for its own size again once events run, not here: an export from the command
  // line ends with the process, and nobody would see it.
  const QString file = QString::fromStdString(path);
  const bool saved = ext == "png" ? plot_->savePng(file, width, height) : plot_->savePdf(file, width, height);
  plot_->replot(QCustomPlot::rpQueuedReplot);
  if (!saved) throw std::runtime_error("cannot write " + path);
}

void PlotWindow::copyToClipboard() { QApplication::clipboard()->setPixmap(plot_->toPixmap()); }

void PlotWindow::showReadout(const QPoint& pixel) {
  for (QCPAxisRect* a : axes_) {
    if (!a->rect().contains(pixel)) continue;
    const QCPAxis* x = a->axis(QCPAxis::atBottom);
    const QCPAxis* y = a->axis(QCPAxis::atLeft);
    const double kx = x->pixelToCoord(pixel.x()), vy = y->pixelToCoord(pixel.y());
    QString text = QString("%1 %2,  %3 %4").arg(kx, 0, 'g', 6).arg(unitOf(x)).arg(vy, 0, 'g', 6).arg(unitOf(y));
    for (QCPAbstractPlottable* p : a->plottables()) {
      if (auto* map = dynamic_cast<QCPColorMap*>(p); map != nullptr && !map->name().isEmpty()) {
        text += QString(",  %1 %2").arg(map->data()->data(kx, vy), 0, 'f', 1).arg(map->name());
      }
    }
    readout_->setLine(text);
    readout_->setEnabled(true);
    return;
  }
  readout_->setLine(kReadoutHint);
  readout_->setEnabled(false);
}

PlotWindow* plotWindowOf(toolkit::Handle h) {
  auto* window = dynamic_cast<PlotWindow*>(qt::windowWidget(qt::qtToolkit().windowOf(h)));
  if (window == nullptr) throw std::invalid_argument("handle " + rt::shortestText(h) + " is not in a plot window");
  return window;
}

PlotWindow* currentPlotWindow() {
  // A window being closed has left the handle table already.
  PlotWindow* w = current().data();
  return w != nullptr && qt::HandleTable::instance().handleOf(w) != 0 ? w : nullptr;
}

PlotWindow& currentOrNewPlotWindow() {
  if (PlotWindow* w = currentPlotWindow()) return *w;
  return *PlotWindow::create("Figure");
}

}  // namespace dot11b::plots::views
