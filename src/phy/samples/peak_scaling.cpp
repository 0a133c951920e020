// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/samples/peak_scaling.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "runtime/shortest_text.h"
#include "runtime/value_range.h"

namespace dot11b::phy {

double peakComponent(std::span<const Complex> samples) {
  double peak = 0;
  for (const Complex& s : samples) peak = std::max({peak, std::fabs(s.real()), std::fabs(s.imag())});
  return peak;
}

double largestBackoffDb(double largestInteger) {
  return 20 * std::log10(largestInteger / static_cast<double>(1 << (kFewestBits - 1)));
}

void requireBackoff(std::string_view name, double backoffDb, double largestInteger) {
  // Shown to a hundredth of a dB: the exact bound has no short decimal form.
  const double largest = largestBackoffDb(largestInteger);
  const std::string range = rt::shortestText(kLowestBackoffDb) + " to " +
                            rt::shortestText(std::floor(largest * 100) / 100) + " dB (at least " +
                            std::to_string(kFewestBits) + " bits of the format)";
  rt::requireInRange(name, backoffDb, kLowestBackoffDb, largest, "dB", range);
}

PeakScaling scalePeak(std::span<const Complex> samples, double fullScale, double backoffDb) {
  if (!std::isfinite(backoffDb)) throw std::invalid_argument("the backoff is not a finite number of dB");
  if (!(fullScale > 0) || !std::isfinite(fullScale)) throw std::invalid_argument("the full scale is not above 0");
  double peak = 0;
  for (std::size_t k = 0; k < samples.size(); ++k) {
    const double re = std::fabs(samples[k].real()), im = std::fabs(samples[k].imag());
    if (!std::isfinite(re) || !std::isfinite(im))
      throw std::invalid_argument("sample " + std::to_string(k + 1) + " is not a finite number");
    peak = std::max({peak, re, im});
  }
  if (peak == 0) return {};
  // The amplitude that lands on full scale: clipping is decided against it in the waveform's own units,
  // so that a backoff of 0 dB or more clips nothing, whatever the rounding of the gain.
  const double fullScaleAmplitude = peak * std::pow(10.0, backoffDb / 20);
  PeakScaling scaling{fullScale / fullScaleAmplitude, 0};
  if (!std::isfinite(scaling.gain)) {
    throw std::invalid_argument("a peak of " + rt::shortestText(peak) + " cannot be brought " + rt::shortestText(backoffDb) +
                                " dB below full scale");
  }
  if (fullScaleAmplitude < peak) {
    scaling.clippedSamples = static_cast<std::size_t>(std::count_if(samples.begin(), samples.end(), [&](const Complex& s) {
      return std::fabs(s.real()) > fullScaleAmplitude || std::fabs(s.imag()) > fullScaleAmplitude;
    }));
  }
  return scaling;
}

}  // namespace dot11b::phy
