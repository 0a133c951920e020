// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/figure_files.h"

#include <dlfcn.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPalette>
#include <QUiLoader>
#include <stdexcept>
#include <string>

namespace dot11b::qt {

namespace {

QString fromView(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

// Read-only fields (counts and descriptions the window shows) take the window's colour, so that they do
// not look like fields to type into.
void markReadOnlyFields(QWidget* window) {
  for (QLineEdit* field : window->findChildren<QLineEdit*>()) {
    if (!field->isReadOnly()) continue;
    QPalette colours = field->palette();
    colours.setColor(QPalette::Base, colours.color(QPalette::Window));
    field->setPalette(colours);
  }
}

// Controls that the window hides and shows again (the filter's settings) keep their space meanwhile, so
// that the controls around them stay where they are.
void keepSpaceOfHiddenControls(QWidget* window) {
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->property("KeepsSpaceWhenHidden").toBool()) continue;
    QSizePolicy policy = w->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    w->setSizePolicy(policy);
  }
}

}  // namespace

QString libraryFolder() {
  // The file this code was loaded from: the library, or an executable that links the code in.
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&libraryFolder), &info) == 0 || info.dli_fname == nullptr) {
    throw std::runtime_error("the library cannot tell where it was loaded from, so its window layouts cannot be found");
  }
  return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).canonicalPath();
}

QString imageFile(std::string_view name) { return libraryFolder() + "/images/" + fromView(name); }

QWidget* loadLayout(std::string_view name) {
  const QString path = libraryFolder() + "/figures/" + fromView(name) + ".ui";
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw std::runtime_error("the window layout " + path.toStdString() +
                             " cannot be read: " + file.errorString().toStdString());
  }
  QUiLoader loader;
  QWidget* widget = loader.load(&file, nullptr);
  if (widget == nullptr) {
    throw std::runtime_error("the window layout " + path.toStdString() +
                             " is damaged: " + loader.errorString().toStdString());
  }
  markReadOnlyFields(widget);
  keepSpaceOfHiddenControls(widget);
  return widget;
}

}  // namespace dot11b::qt
