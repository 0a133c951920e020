// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/info_windows.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>
#include <cmath>
#include <stdexcept>

#include "qt/application.h"
#include "qt/handle_table.h"
#include "qt/qt_toolkit.h"
#include "toolkit/figures.h"

namespace dot11b::qt {

namespace {

QLabel* logoLabel(const QImage& logo, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setPixmap(QPixmap::fromImage(logo));
  label->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
  return label;
}

}  // namespace

QImage imageFromPlanes(const rt::Values& planes) {
  if (planes.size() < 3 || planes[0].rows() != planes[1].rows() || planes[0].rows() != planes[2].rows() ||
      planes[0].cols() != planes[1].cols() || planes[0].cols() != planes[2].cols()) {
    throw std::invalid_argument("an image needs three colour planes of one size");
  }
  const auto rows = planes[0].rows(), cols = planes[0].cols();
  QImage image(static_cast<int>(cols), static_cast<int>(rows), QImage::Format_RGB888);
  for (std::size_t r = 0; r < rows; ++r) {
    uchar* line = image.scanLine(static_cast<int>(r));
    for (std::size_t c = 0; c < cols; ++c)
      for (int k = 0; k < 3; ++k)
        line[3 * c + static_cast<std::size_t>(k)] =
            static_cast<uchar>(planes[static_cast<std::size_t>(k)].re(r + rows * c));
  }
  return image;
}

toolkit::Handle showSplash(const QImage& logo, const std::string& name) {
  ensureApplication();
  auto* splash = new QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint);
  splash->setObjectName("splash");
  auto* layout = new QVBoxLayout(splash);
  layout->addWidget(logoLabel(logo, splash));
  auto* title = new QLabel(QString::fromStdString(name), splash);
  QFont bold = title->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.3);
  title->setFont(bold);
  title->setAlignment(Qt::AlignCenter);
  layout->addWidget(title);
  auto* starting = new QLabel("Starting...", splash);
  starting->setAlignment(Qt::AlignCenter);
  layout->addWidget(starting);
  splash->adjustSize();
  const toolkit::Handle h = registerWindow(splash);
  toolkit::positionChildWindow(h, toolkit::kScreen);
  splash->show();
  splash->raise();
  // Its minimum time on screen counts from its first paint: the window system maps a new window a few
  // milliseconds after show(), so wait for that (at most a second) and paint it at once.
  QElapsedTimer mapping;
  mapping.start();
  while (splash->windowHandle() != nullptr && !splash->windowHandle()->isExposed() && mapping.elapsed() < 1000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  splash->repaint();
  return h;
}

toolkit::Handle showAbout(toolkit::Handle parent, const QImage& logo, const std::vector<std::string>& lines) {
  ensureApplication();
  // A window of the application's: it closes with the main window.
  QWidget* owner =
      parent != toolkit::kScreen && HandleTable::instance().find(parent) != nullptr ? windowWidget(parent) : nullptr;
  auto* about = new QWidget(owner, Qt::Dialog);
  about->setObjectName("figAbout");
  about->setWindowTitle("About");
  auto* outer = new QVBoxLayout(about);
  auto* row = new QHBoxLayout;
  outer->addLayout(row);
  row->addWidget(logoLabel(logo, about));
  auto* texts = new QVBoxLayout;
  row->addLayout(texts);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto* label = new QLabel(QString::fromStdString(lines[i]), about);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (i == 0) {
      QFont bold = label->font();
      bold.setBold(true);
      bold.setPointSizeF(bold.pointSizeF() * 1.2);
      label->setFont(bold);
    }
    texts->addWidget(label);
  }
  texts->addStretch();
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, about);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("pbOK");
  QObject::connect(buttons, &QDialogButtonBox::accepted, about, &QWidget::close);
  outer->addWidget(buttons);
  about->adjustSize();
  const toolkit::Handle h = registerWindow(about);
  toolkit::positionChildWindow(h, parent);
  about->show();
  about->raise();
  about->activateWindow();
  return h;
}

void saveWindowImage(toolkit::Handle window, const std::string& filename) {
  const QPixmap image = windowWidget(window)->grab();
  if (!image.save(QString::fromStdString(filename)))
    throw std::runtime_error("the window's image cannot be written to " + filename);
}

void resizeAllFonts(toolkit::Handle window, double factor) {
  if (!(factor > 0) || !std::isfinite(factor))
    throw std::invalid_argument("ResizeAllFonts: the factor must be a positive number");
  QWidget* w = windowWidget(window);
  const double size = QApplication::font().pointSizeF() * factor;
  for (QWidget* child : w->findChildren<QWidget*>()) {
    QFont f = child->font();
    f.setPointSizeF(size);
    child->setFont(f);
  }
}

}  // namespace dot11b::qt
