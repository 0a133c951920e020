// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/chip_stream.h"

#include <cmath>
#include <numbers>

namespace dot11b::rx {

Complex ChipStream::interpolated(double t) const {
  const double floorT = std::floor(t);
  const auto i = static_cast<long>(floorT);
  const double u = t - floorT;
  // Catmull-Rom through the samples i-1 .. i+2.
  const Complex p0 = sample(i - 1), p1 = sample(i), p2 = sample(i + 1), p3 = sample(i + 2);
  return p1 + 0.5 * u * (p2 - p0 + u * (2.0 * p0 - 5.0 * p1 + 4.0 * p2 - p3 + u * (3.0 * (p1 - p2) + p3 - p0)));
}

void ChipStream::chips(double t, int count, Complex* out) const {
  if (radiansPerSample_ == 0) {
    for (int k = 0; k < count; ++k) out[k] = interpolated(t + kSamplesPerChip * k);
    return;
  }
  Complex rotation = std::polar(1.0, radiansPerSample_ * (t - origin_));
  const Complex step = std::polar(1.0, radiansPerSample_ * kSamplesPerChip);
  for (int k = 0; k < count; ++k) {
    out[k] = interpolated(t + kSamplesPerChip * k) * rotation;
    rotation *= step;
  }
}

Complex ChipStream::barker(double t) const {
  Complex received[11];
  chips(t, 11, received);
  Complex sum(0, 0);
  for (std::size_t k = 0; k < 11; ++k) sum += kBarker[k] * received[k];
  return sum;
}

ChipStream ChipStream::withoutCarrierOffset(double offsetHz, double origin) const {
  ChipStream view(*window_);
  view.radiansPerSample_ = -2 * std::numbers::pi * offsetHz / kStreamRate;
  view.origin_ = origin;
  return view;
}

}  // namespace dot11b::rx
