// SPDX-License-Identifier: GPL-3.0-or-later
#include "plots/spectrum.h"

#include <algorithm>
#include <cmath>

#include "phy/fft_plan.h"

namespace dot11b::plots {

namespace {

constexpr double kRangeDb = 100;

}  // namespace

std::vector<double> centredPowerSpectrum(const Samples& iq) {
  const std::size_t n = iq.size();
  Samples bins = iq;
  if (n > 0) {
    phy::FftPlan("VX_PlotSpectrum", [&] {
      return fftw_plan_dft_1d(phy::fftSize(n, "VX_PlotSpectrum"), phy::asFftw(bins.data()), phy::asFftw(bins.data()),
                              FFTW_FORWARD, FFTW_ESTIMATE);
    }).execute();
  }
  std::vector<double> power(n);
  const std::size_t firstNegative = (n + 1) / 2;
  for (std::size_t k = 0; k < n; ++k) power[k] = std::norm(bins[(firstNegative + k) % n]);
  return power;
}

std::vector<double> centredFrequencies(std::size_t points, double sampleRate) {
  std::vector<double> f(points);
  const double lowest = -static_cast<double>(points / 2);
  for (std::size_t k = 0; k < points; ++k)
    f[k] = (lowest + static_cast<double>(k)) * sampleRate / static_cast<double>(points);
  return f;
}

std::vector<double> relativeDb(std::vector<double> power) {
  if (power.empty()) return power;
  const auto [low, high] = std::minmax_element(power.begin(), power.end());
  if (*low == 0) {
    const double raise = *high == 0 ? 1e-20 : 1e-20 * *high;
    for (double& p : power) p += raise;
  }
  double peak = -HUGE_VAL;
  for (double& p : power) peak = std::max(peak, p = 10 * std::log10(p));
  for (double& p : power) p -= peak;
  return power;
}

Spectrum computeSpectrum(const Samples& iq, double sampleRate) {
  if (!(sampleRate > 0)) sampleRate = 1;
  Spectrum s;
  s.unit = frequencyUnit(sampleRate);
  s.fMax = sampleRate / 2 * s.unit.multiplier;
  s.fMin = -s.fMax;
  if (iq.empty()) {
    // Ten test bins, already in display order, spread over the whole band.
    std::vector<double> power;
    for (double bin : {0.001, 0.01, 0.1, 0.5, 1.0, 1.0, 0.5, 0.1, 0.01, 0.001}) power.push_back(bin * bin);
    s.magnitudeDb = relativeDb(std::move(power));
    for (int k = 0; k < 10; ++k) s.frequency.push_back(s.fMin + k * (s.fMax - s.fMin) / 9);
  } else {
    s.magnitudeDb = relativeDb(centredPowerSpectrum(iq));
    s.frequency = centredFrequencies(iq.size(), sampleRate);
    for (double& f : s.frequency) f *= s.unit.multiplier;
  }
  const auto [low, high] = std::minmax_element(s.magnitudeDb.begin(), s.magnitudeDb.end());
  s.dbMax = 10 * std::ceil(*high / 10);
  s.dbMin = std::max(10 * std::floor(*low / 10), s.dbMax - kRangeDb);
  return s;
}

}  // namespace dot11b::plots
