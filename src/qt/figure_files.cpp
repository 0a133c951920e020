#include "qt/figure_files.h"

#include <dlfcn.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUiLoader>
#include <stdexcept>
#include <string>

namespace dot11b::qt {

namespace {
QString fromView(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }
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
    throw std::runtime_error("the window layout " + path.toStdString() + " cannot be read: " + file.errorString().toStdString());
  }
  QUiLoader loader;
  QWidget* widget = loader.load(&file, nullptr);
  if (widget == nullptr) {
    throw std::runtime_error("the window layout " + path.toStdString() + " is damaged: " + loader.errorString().toStdString());
  }
  return widget;
}

}  // namespace dot11b::qt
