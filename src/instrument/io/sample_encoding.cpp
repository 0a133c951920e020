// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/io/sample_encoding.h"

#include <algorithm>
#include <cmath>

#include "instrument/io/bus_error.h"

namespace dot11b::instrio {
namespace {

void checkFinite(const double* values, std::size_t n, const char* component) {
  for (std::size_t k = 0; k < n; ++k) {
    if (!std::isfinite(values[k])) {
      throw BusError(INSTRIO_BAD_ARGUMENT, std::string("instrIO: download: ") + component + " of sample " +
                                               std::to_string(k + 1) + " is not a finite number; nothing was sent");
    }
  }
}

}  // namespace

void appendSamplesInt16Be(const double* i, const double* q, std::size_t n, double scale, std::string& out) {
  if (std::isnan(scale)) throw BusError(INSTRIO_BAD_ARGUMENT, "instrIO: download: the scale is not a number");
  checkFinite(i, n, "I");
  checkFinite(q, n, "Q");
  scale = std::clamp(scale, kLowestScale, 1.0);
  double largest = 0.0;
  for (std::size_t k = 0; k < n; ++k) largest = std::max({largest, std::abs(i[k]), std::abs(q[k])});
  // Every waveform is scaled to full scale by its largest component, also one whose components
  // all have the same magnitude (left unscaled, it would reach the DAC as a few codes at most).
  // Divided first, in the 16-bit waveform file's order: the same bytes as that file, and no
  // overflow to infinity when the largest magnitude is subnormal.
  const auto scaled = [&](double value) { return largest > 0.0 ? value / largest * kFullScale * scale : 0.0; };
  out.reserve(out.size() + 4 * n);
  for (std::size_t k = 0; k < n; ++k) {
    appendInt16Be(scaled(i[k]), out);
    appendInt16Be(scaled(q[k]), out);
  }
}

void appendMarkerBytes(const uint8_t* marker1, const uint8_t* marker2, std::size_t n, std::string& out) {
  out.reserve(out.size() + n);
  for (std::size_t k = 0; k < n; ++k) {
    const bool row1 = marker1 != nullptr && marker1[k] != 0;
    const bool row2 = marker2 != nullptr && marker2[k] != 0;
    out.push_back(static_cast<char>((row1 ? 1 : 0) | (row2 ? 2 : 0)));
  }
}

}  // namespace dot11b::instrio
