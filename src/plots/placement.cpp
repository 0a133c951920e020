// SPDX-License-Identifier: GPL-3.0-or-later
#include "plots/placement.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

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

Corner clearCorner(Corner wanted, Corner size, const std::array<int, 4>& screen, const std::vector<Corner>& taken,
                   int step) {
  const auto clear = [&](const Corner& at) {
    const bool onScreen = at[0] >= screen[0] && at[1] >= screen[1] && at[0] + size[0] <= screen[0] + screen[2] &&
                          at[1] + size[1] <= screen[1] + screen[3];
    return onScreen && std::none_of(taken.begin(), taken.end(), [&](const Corner& c) {
             return std::abs(c[0] - at[0]) < step && std::abs(c[1] - at[1]) < step;
           });
  };
  if (clear(wanted)) return wanted;
  // A corner blocks two successive places at most, so one of the first 2n + 1 places each way is clear
  // unless the screen ends first. Downwards first: a window below another leaves its title bar in view.
  const int reach = 2 * static_cast<int>(taken.size()) + 1;
  for (const auto& [right, down] : {std::pair{1, 1}, {-1, 1}, {1, -1}, {-1, -1}}) {
    for (int k = 1; k <= reach; ++k) {
      const Corner at{wanted[0] + right * k * step, wanted[1] + down * k * step};
      if (clear(at)) return at;
    }
  }
  return wanted;
}

}  // namespace dot11b::plots
