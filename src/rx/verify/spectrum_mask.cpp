// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/verify/spectrum_mask.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "phy/simd/avx2_clone.h"
#include "phy/fft_plan.h"

namespace dot11b::rx {

namespace {

constexpr const char* kWho = "measureMask";
constexpr double kHannNoiseBandwidth = 1.5;  // bins
constexpr double kResolutionBandwidth = 100e3;
constexpr std::size_t kSegmentsSummedAtOnce = 16;  // before their powers join the sums in double

void fold(MaskRegion& region, double dbr, std::optional<double>& limit) {
  limit = region.limitDbr;
  region.worstDbr = region.measured ? std::max(region.worstDbr, dbr) : dbr;
  region.measured = true;
  region.margin = region.limitDbr - region.worstDbr;
}

// Powers averaged over Hann-windowed segments whose noise bandwidth is the resolution bandwidth, half
// overlapping. The bins are those of a segment (the mask's table), or of a segment padded with zeros to a
// power of two (a spectrum's peak, measured on every frame): a bin between the segment's own ones, and a
// transform FFTW makes at a third of the cost of one whose length has the factor 11 (330 points at
// 22 MHz). The peak is taken in single precision, whose rounding lies some 130 dB under it; `Real`: the
// transform's precision.
enum class Bins { ofSegment, padded };

struct BinPowers {
  std::vector<double> power;  // of each bin, from 0 Hz up; the mean over the bins is the mean power
  std::size_t segment = 0;    // samples in a segment
};

template <typename Real, typename S>
DOT11B_ALSO_AVX2 BinPowers binPowers(const S* samples, std::size_t size, double sampleRate, double resolutionBandwidth, Bins bins) {
  if (!(sampleRate > 0) || !(resolutionBandwidth > 0)) throw std::invalid_argument("powerSpectrum: rates must be positive");
  const auto segment = static_cast<std::size_t>(std::max(16.0, std::round(kHannNoiseBandwidth * sampleRate / resolutionBandwidth)));
  if (size < segment) return {};
  const std::size_t points = bins == Bins::padded ? std::bit_ceil(segment) : segment;
  // The window and the powers once for each component (I and Q side by side, as the samples and the bins
  // lie), so that the windowing and the power run over plain arrays of numbers; I and Q meet at the end.
  std::vector<Real> window(2 * segment), recentPower(2 * points, Real(0));
  std::vector<double> power(2 * points, 0.0);
  // The powers are summed over a few segments in the transform's precision, then those sums in double.
  const auto addRecent = [&] {
    for (std::size_t n = 0; n < 2 * points; ++n) power[n] += recentPower[n];
    std::fill(recentPower.begin(), recentPower.end(), Real(0));
  };
  double windowPower = 0;
  for (std::size_t n = 0; n < segment; ++n) {
    const auto w = static_cast<Real>(0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(n) / static_cast<double>(segment)));
    window[2 * n] = window[2 * n + 1] = w;
    windowPower += static_cast<double>(w) * w;
  }
  const auto plan = phy::Fftw<Real>::kept(points, FFTW_FORWARD, kWho);
  phy::BasicFftwBuffer<Real> input(points), spectrum(points);
  std::fill_n(input.data(), points, std::complex<Real>{});  // the padding stays 0
  Real* const windowed = reinterpret_cast<Real*>(input.data());
  std::size_t segments = 0;
  for (std::size_t first = 0; first + segment <= size; first += segment / 2, ++segments) {
    const auto* __restrict x = reinterpret_cast<const typename S::value_type*>(samples + first);
    const Real* __restrict w = window.data();
    Real* __restrict into = windowed;
#pragma GCC unroll 8
    for (std::size_t n = 0; n < 2 * segment; ++n) into[n] = static_cast<Real>(x[n]) * w[n];
    phy::Fftw<Real>::execute(plan, input.data(), spectrum.data());
    const Real* __restrict bin = reinterpret_cast<const Real*>(spectrum.data());
    Real* __restrict recent = recentPower.data();
#pragma GCC unroll 8
    for (std::size_t n = 0; n < 2 * points; ++n) recent[n] += bin[n] * bin[n];
    if ((segments + 1) % kSegmentsSummedAtOnce == 0) addRecent();
  }
  addRecent();
  const double scale = 1 / (static_cast<double>(segments) * windowPower);
  for (std::size_t k = 0; k < points; ++k) power[k] = (power[2 * k] + power[2 * k + 1]) * scale;
  power.resize(points);
  return {std::move(power), segment};
}

std::vector<MaskPoint> spectrumOf(const BinPowers& bins, double sampleRate) {
  const std::size_t points = bins.power.size();
  std::vector<MaskPoint> psd(points);
  for (std::size_t i = 0; i < points; ++i) {
    // Bin i of the centred spectrum is FFT bin (i + points - points / 2) mod points.
    const std::size_t k = (i + points - points / 2) % points;
    const double frequency = (static_cast<double>(i) - static_cast<double>(points / 2)) * sampleRate / static_cast<double>(points);
    psd[i] = {frequency, bins.power[k], std::nullopt};
  }
  return psd;
}

// The highest bin of the padded spectrum as the power within the resolution bandwidth (0 when the samples
// are shorter than a segment): a flat spectrum puts the bandwidth's share of the power, 1.5 / segment of
// it, into it, and any bin holds the mean power at its frequency.
template <typename S>
double peakInResolutionBandwidth(const S* samples, std::size_t n, double sampleRate) {
  const BinPowers bins = binPowers<float>(samples, n, sampleRate, kResolutionBandwidth, Bins::padded);
  if (bins.power.empty()) return 0;
  return *std::max_element(bins.power.begin(), bins.power.end()) * kHannNoiseBandwidth / static_cast<double>(bins.segment);
}

template <typename S>
MaskResult maskOf(const S* frame, std::size_t n, double sampleRate) {
  MaskResult result;
  result.resolutionBandwidth = kResolutionBandwidth;
  result.points = spectrumOf(binPowers<double>(frame, n, sampleRate, result.resolutionBandwidth, Bins::ofSegment), sampleRate);
  if (result.points.empty()) return result;
  result.peakPowerInResolutionBandwidth = peakInResolutionBandwidth(frame, n, sampleRate);
  double peak = 0;
  for (const MaskPoint& p : result.points) peak = std::max(peak, p.dbr);
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
  return spectrumOf(binPowers<double>(samples.data(), samples.size(), sampleRate, resolutionBandwidth, Bins::ofSegment), sampleRate);
}

MaskResult measureMask(const ComplexRow& frame, double sampleRate) { return maskOf(frame.data(), frame.size(), sampleRate); }

MaskResult measureMask(const Sample* frame, std::size_t n, double sampleRate) { return maskOf(frame, n, sampleRate); }

MaskResult measurePeak(const Sample* frame, std::size_t n, double sampleRate) {
  MaskResult result;
  result.resolutionBandwidth = kResolutionBandwidth;
  result.peakPowerInResolutionBandwidth = peakInResolutionBandwidth(frame, n, sampleRate);
  return result;
}

}  // namespace dot11b::rx
