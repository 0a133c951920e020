// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/iq16_file.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "files/safe_save.h"
#include "runtime/shortest_text.h"

namespace dot11b::files {

std::vector<std::uint8_t> encodeIq16(const std::vector<std::complex<double>>& samples, double scale) {
  scale = std::isnan(scale) ? 1 : std::max(std::min(scale, 1.0), kIq16LowestScale);
  std::vector<double> z;
  z.reserve(2 * samples.size());
  for (std::size_t k = 0; k < samples.size(); ++k) {
    if (!std::isfinite(samples[k].real()) || !std::isfinite(samples[k].imag()))
      throw std::invalid_argument("the 16-bit file cannot hold sample " + std::to_string(k + 1) +
                                  ": it is not a finite number");
    z.push_back(samples[k].real());
    z.push_back(samples[k].imag());
  }
  double largest = 0, smallest = 0;
  if (!z.empty()) {
    const auto [lo, hi] = std::minmax_element(z.begin(), z.end(), [](double a, double b) { return std::fabs(a) < std::fabs(b); });
    smallest = std::fabs(*lo);
    largest = std::fabs(*hi);
  }
  std::vector<std::uint8_t> bytes;
  bytes.reserve(2 * z.size());
  for (double value : z) {
    // Equal magnitudes everywhere (all zero included) leave the values unscaled.
    if (largest != smallest) value = value / largest * kIq16FullScale * scale;
    const double rounded = std::round(value);
    if (rounded < -32768 || rounded > 32767)
      throw std::invalid_argument("the 16-bit file cannot hold the value " + rt::shortestText(rounded) +
                                  ": it does not fit 16 bits (equal magnitudes are written unscaled)");
    instrio::appendInt16Be(rounded, bytes);
  }
  return bytes;
}

Iq16SaveResult saveIq16File(const std::string& filename, const std::vector<std::complex<double>>& samples, double scale) {
  try {
    const std::vector<std::uint8_t> bytes = encodeIq16(samples, scale);
    saveBytes(filename, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return {true, {}};
  } catch (const std::exception& e) {
    return {false, e.what()};
  }
}

}  // namespace dot11b::files
