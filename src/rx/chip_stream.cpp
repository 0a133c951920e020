#include "rx/chip_stream.h"

#include <cmath>
#include <numbers>

namespace dot11b::rx {

Complex ChipStream::at(double t) const {
  const double floorT = std::floor(t);
  const auto i = static_cast<long>(floorT);
  const double u = t - floorT;
  // Catmull-Rom through the samples i-1 .. i+2.
  const Complex p0 = sample(i - 1), p1 = sample(i), p2 = sample(i + 1), p3 = sample(i + 2);
  const Complex value = p1 + 0.5 * u * (p2 - p0 + u * (2.0 * p0 - 5.0 * p1 + 4.0 * p2 - p3 + u * (3.0 * (p1 - p2) + p3 - p0)));
  return radiansPerSample_ == 0 ? value : value * std::polar(1.0, radiansPerSample_ * (t - origin_));
}

Complex ChipStream::barker(double t) const {
  Complex sum(0, 0);
  for (int k = 0; k < 11; ++k) sum += kBarker[static_cast<std::size_t>(k)] * chip(t, k);
  return sum;
}

ChipStream ChipStream::withoutCarrierOffset(double offsetHz, double origin) const {
  ChipStream view(*window_);
  view.radiansPerSample_ = -2 * std::numbers::pi * offsetHz / kStreamRate;
  view.origin_ = origin;
  return view;
}

}  // namespace dot11b::rx
