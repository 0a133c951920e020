// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/image_reader.h"

#include <QImage>
#include <QImageReader>
#include <stdexcept>

namespace dot11b::qt {

rt::Values readImage(const std::string& filename, bool jpegOnly) {
  QImageReader reader(QString::fromStdString(filename));
  if (jpegOnly && reader.format() != "jpeg") {
    throw std::runtime_error(filename + " is not a JPEG image");
  }
  const QImage image = reader.read().convertToFormat(QImage::Format_RGB888);
  if (image.isNull())
    throw std::runtime_error(filename + " cannot be read as an image: " + reader.errorString().toStdString());
  const auto rows = static_cast<std::size_t>(image.height()), cols = static_cast<std::size_t>(image.width());
  std::vector<double> planes[3];
  for (auto& p : planes) p.resize(rows * cols);
  for (std::size_t r = 0; r < rows; ++r) {
    const uchar* line = image.constScanLine(static_cast<int>(r));
    for (std::size_t c = 0; c < cols; ++c)
      for (int k = 0; k < 3; ++k) planes[k][r + rows * c] = line[3 * c + static_cast<std::size_t>(k)];
  }
  rt::Values out;
  for (auto& p : planes) {
    rt::Value plane = rt::Value::matrix(rows, cols, std::move(p));
    plane.setNumericClass(rt::NumericClass::UInt8);
    out.push_back(std::move(plane));
  }
  return out;
}

}  // namespace dot11b::qt
