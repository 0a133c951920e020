// SPDX-License-Identifier: GPL-3.0-or-later
#include "plots/placement.h"

namespace dot11b::plots {

Rect screenRect(ViewKind view) {
  if (view == ViewKind::kSpectrum) return {50, 480, 300, 300};
  return {150, 150, 340, 340};
}

std::string namePrefix(ViewKind view) {
  switch (view) {
    case ViewKind::kCcdf: return "CCDF ";
    case ViewKind::kSpectrum: return "Magnitude Spectrum ";
    case ViewKind::kIqTime: return "I(t) Q(t) ";
    case ViewKind::kEye: return "Eye Diagram ";
    case ViewKind::kScatter: return "Scatter Diagram ";
    case ViewKind::kWaterfall: return "Spectrum Waterfall ";
    case ViewKind::kMask: return "Spectrum Mask ";
    case ViewKind::kPer: return "Packet Error Rate ";
  }
  return "";
}

Rect plotWindowRect(ViewKind view, const std::optional<Rect>& parent) {
  if (!parent) return screenRect(view);
  const auto [x, y, w, h] = *parent;
  const double width = 0.8 * w, height = 0.8 * h;
  if (view == ViewKind::kSpectrum) return {x + 0.1 * w, y + 0.18 * h, width, height};
  return {x + 0.1 * width, y - 0.1 * height, width, height};
}

}  // namespace dot11b::plots
