// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/verify/spectrum_mask.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "phy/fft_plan.h"

namespace dot11b::rx {

namespace {

constexpr const char* kWho = "measureMask";
constexpr double kHannNoiseBandwidth = 1.5;  // bins
constexpr double kResolutionBandwidth = 100e3;

void fold(MaskRegion& region, double dbr, std::optional<double>& limit) {
  limit = region.limitDbr;
  region.worstDbr = region.measured ? std::max(region.worstDbr, dbr) : dbr;
  region.measured = true;
  region.margin = region.limitDbr - region.worstDbr;
}

// The power of each FFT bin averaged over Hann-windowed segments whose noise bandwidth is
// `resolutionBandwidth`, half overlapping; nothing when the samples are shorter than a segment.
template <typename S>
std::vector<double> binPowers(const S* samples, std::size_t size, double sampleRate, double resolutionBandwidth) {
  if (!(sampleRate > 0) || !(resolutionBandwidth > 0)) throw std::invalid_argument("powerSpectrum: rates must be positive");
  const auto points = static_cast<std::size_t>(std::max(16.0, std::round(kHannNoiseBandwidth * sampleRate / resolutionBandwidth)));
  if (size < points) return {};
  // The window and the powers once for each component (I and Q side by side, as the samples and the bins
  // lie), so that the windowing and the power run over plain arrays of numbers; I and Q meet at the end.
  std::vector<double> window(2 * points), power(2 * points, 0.0);
  double windowPower = 0;
  for (std::size_t n = 0; n < points; ++n) {
    const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(n) / static_cast<double>(points));
    window[2 * n] = window[2 * n + 1] = w;
    windowPower += w * w;
  }
  const fftw_plan plan = phy::keptTransform(points, FFTW_FORWARD, kWho);
  phy::FftwBuffer segment(points), spectrum(points);
  double* const windowed = reinterpret_cast<double*>(segment.data());
  const double* const bins = reinterpret_cast<const double*>(spectrum.data());
  std::size_t segments = 0;
  for (std::size_t first = 0; first + points <= size; first += points / 2, ++segments) {
    const auto* __restrict x = reinterpret_cast<const typename S::value_type*>(samples + first);
    const double* __restrict w = window.data();
    double* __restrict into = windowed;
#pragma GCC unroll 8
    for (std::size_t n = 0; n < 2 * points; ++n) into[n] = static_cast<double>(x[n]) * w[n];
    fftw_execute_dft(plan, phy::asFftw(segment.data()), phy::asFftw(spectrum.data()));
    const double* __restrict bin = bins;
    double* __restrict sum = power.data();
#pragma GCC unroll 8
    for (std::size_t n = 0; n < 2 * points; ++n) sum[n] += bin[n] * bin[n];
  }
  const double scale = 1 / (static_cast<double>(segments) * windowPower);
  for (std::size_t k = 0; k < points; ++k) power[k] = (power[2 * k] + power[2 * k + 1]) * scale;
  power.resize(points);
  return power;
}

template <typename S>
std::vector<MaskPoint> spectrumOf(const S* samples, std::size_t size, double sampleRate, double resolutionBandwidth) {
  const std::vector<double> power = binPowers(samples, size, sampleRate, resolutionBandwidth);
  const std::size_t points = power.size();
  std::vector<MaskPoint> psd(points);
  for (std::size_t i = 0; i < points; ++i) {
    // Bin i of the centred spectrum is FFT bin (i + points - points / 2) mod points.
    const std::size_t k = (i + points - points / 2) % points;
    const double frequency = (static_cast<double>(i) - static_cast<double>(points / 2)) * sampleRate / static_cast<double>(points);
    psd[i] = {frequency, power[k], std::nullopt};
  }
  return psd;
}

// A bin holds the power of its Hann noise bandwidth (1.5 bins) times the bins of a segment.
double inResolutionBandwidth(double binPower, std::size_t points) {
  return binPower * kHannNoiseBandwidth / static_cast<double>(points);
}

template <typename S>
MaskResult maskOf(const S* frame, std::size_t n, double sampleRate) {
  MaskResult result;
  result.resolutionBandwidth = kResolutionBandwidth;
  result.points = spectrumOf(frame, n, sampleRate, result.resolutionBandwidth);
  if (result.points.empty()) return result;
  double peak = 0;
  for (const MaskPoint& p : result.points) peak = std::max(peak, p.dbr);
  result.peakPowerInResolutionBandwidth = inResolutionBandwidth(peak, result.points.size());
  for (MaskPoint& p : result.points) {
    p.dbr = 10 * std::log10(std::max(p.dbr / peak, 1e-30));
    const double offset = std::abs(p.frequency);
    // The bin at -fs/2 holds +fs/2 as well: it belongs to neither side.
    if (offset >= sampleRate / 2) continue;
    if (offset >= 22e6) {
      fold(result.outer, p.dbr, p.limit);
    } else if (offset >= 11e6) {
      fold(result.inner, p.dbr, p.limit);
    }
  }
  // What lies beyond half the sample rate is not measured, and the region says so.
  result.inner.partly = result.inner.measured && sampleRate / 2 < 22e6;
  result.outer.partly = result.outer.measured;
  return result;
}

}  // namespace

std::vector<MaskPoint> powerSpectrum(const ComplexRow& samples, double sampleRate, double resolutionBandwidth) {
  return spectrumOf(samples.data(), samples.size(), sampleRate, resolutionBandwidth);
}

MaskResult measureMask(const ComplexRow& frame, double sampleRate) { return maskOf(frame.data(), frame.size(), sampleRate); }

MaskResult measureMask(const Sample* frame, std::size_t n, double sampleRate) { return maskOf(frame, n, sampleRate); }

MaskResult measurePeak(const Sample* frame, std::size_t n, double sampleRate) {
  MaskResult result;
  result.resolutionBandwidth = kResolutionBandwidth;
  const std::vector<double> power = binPowers(frame, n, sampleRate, kResolutionBandwidth);
  if (!power.empty()) {
    const double peak = *std::max_element(power.begin(), power.end());
    result.peakPowerInResolutionBandwidth = inResolutionBandwidth(peak, power.size());
  }
  return result;
}

}  // namespace dot11b::rx
