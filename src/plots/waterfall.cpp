// SPDX-License-Identifier: GPL-3.0-or-later
#include "plots/waterfall.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "phy/fft_plan.h"
#include "plots/spectrum.h"

namespace dot11b::plots {

namespace {

constexpr const char* kWho = "VX_PlotWaterfall";
constexpr double kRangeDb = 100;

}  // namespace

Waterfall computeWaterfall(const Samples& iq, double sampleRate, double sliceSeconds) {
  if (iq.empty()) throw std::invalid_argument("there are no samples to draw");
  if (!(sampleRate > 0) || !std::isfinite(sampleRate))
    throw std::invalid_argument("the sampling rate must be positive");
  if (!(sliceSeconds > 0) || !std::isfinite(sliceSeconds))
    throw std::invalid_argument("the time slice must be positive");
  Waterfall w;
  const double points = static_cast<double>(iq.size());
  w.bins = static_cast<std::size_t>(std::clamp(std::round(sliceSeconds * sampleRate), std::min(2.0, points), points));
  w.slices = iq.size() / w.bins;

  Samples spectra(iq.begin(), iq.begin() + static_cast<std::ptrdiff_t>(w.slices * w.bins));
  const int size = phy::fftSize(w.bins, kWho);
  phy::FftPlan(kWho, [&] {
    return fftw_plan_many_dft(1, &size, phy::fftSize(w.slices, kWho), phy::asFftw(spectra.data()), nullptr, 1, size,
                              phy::asFftw(spectra.data()), nullptr, 1, size, FFTW_FORWARD, FFTW_ESTIMATE);
  }).execute();

  std::vector<double> power(spectra.size());
  const std::size_t firstNegative = (w.bins + 1) / 2;
  for (std::size_t s = 0; s < w.slices; ++s) {
    const std::complex<double>* row = spectra.data() + s * w.bins;
    for (std::size_t k = 0; k < w.bins; ++k) power[s * w.bins + k] = std::norm(row[(firstNegative + k) % w.bins]);
  }
  w.db = relativeDb(std::move(power));
  for (double& v : w.db) v = std::max(v, -kRangeDb);

  const double seconds = static_cast<double>(w.slices * w.bins) / sampleRate;
  w.timeUnit = timeUnit(seconds);
  w.duration = seconds * w.timeUnit.multiplier;
  for (std::size_t s = 0; s < w.slices; ++s)
    w.sliceStart.push_back(w.duration * static_cast<double>(s) / static_cast<double>(w.slices));
  w.frequencyUnit = frequencyUnit(sampleRate);
  w.frequency = centredFrequencies(w.bins, sampleRate);
  for (double& f : w.frequency) f *= w.frequencyUnit.multiplier;
  w.fMax = sampleRate / 2 * w.frequencyUnit.multiplier;
  w.fMin = -w.fMax;
  return w;
}

std::vector<double> peakColumns(const Waterfall& w, std::size_t slice, std::size_t firstBin, std::size_t endBin,
                                std::size_t columns) {
  endBin = std::min(endBin, w.bins);
  if (firstBin >= endBin) return {};
  const std::size_t bins = endBin - firstBin;
  columns = std::clamp<std::size_t>(columns, 1, bins);
  std::vector<double> out(columns, -HUGE_VAL);
  const double* row = w.db.data() + slice * w.bins + firstBin;
  for (std::size_t k = 0; k < bins; ++k) {
    double& column = out[k * columns / bins];
    column = std::max(column, row[k]);
  }
  return out;
}

}  // namespace dot11b::plots
