// SPDX-License-Identifier: GPL-3.0-or-later
#include "plots/eye_scatter.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace dot11b::plots {

namespace {

// A count from a number the user typed: NaN counts as the lower bound.
std::size_t wholeAtLeast(double v, double lowest) {
  if (!(v >= lowest)) v = lowest;
  return static_cast<std::size_t>(std::min(std::floor(v), 1e15));
}

std::size_t clampOffset(double offset, std::size_t n) { return std::min(wholeAtLeast(offset, 0), n - 1); }

}  // namespace

ClampedEye clampEye(const EyeSettings& s) {
  const std::size_t n = wholeAtLeast(s.samplesPerTrace, 1);
  return {n, s.period == 0 || std::isnan(s.period) ? 1 : std::abs(s.period), clampOffset(s.offset, n)};
}

ClampedScatter clampScatter(double samplesPerSymbol, double offset) {
  const std::size_t n = wholeAtLeast(samplesPerSymbol, 1);
  return {n, clampOffset(offset, n)};
}

Eye computeEye(const Samples& iq, const ClampedEye& s) {
  if (iq.size() < s.offset + s.n) {
    throw std::invalid_argument("the waveform holds " + std::to_string(iq.size()) +
                                " samples, fewer than one trace of " + std::to_string(s.n) + " after an offset of " +
                                std::to_string(s.offset));
  }
  Eye e;
  e.n = s.n;
  e.samples = std::span(iq).subspan(s.offset);
  e.traces = (iq.size() - s.offset) / s.n;
  e.unit = timeUnit(s.period);
  for (std::size_t j = 0; j <= s.n; ++j)
    e.time.push_back(s.period * e.unit.multiplier * static_cast<double>(j) / static_cast<double>(s.n));
  return e;
}

Samples scatterPoints(const Samples& iq, const ClampedScatter& s) {
  Samples points;
  if (s.offset < iq.size()) points.reserve((iq.size() - s.offset + s.n - 1) / s.n);
  for (std::size_t k = s.offset; k < iq.size(); k += s.n) points.push_back(iq[k]);
  return points;
}

double axisAmplitude(const Samples& iq) {
  // Beyond the largest sample by a margin, so that a dot or trace there is drawn whole and not cut in
  // half by the axes' frame: 5 % is some 6 pixels in the smallest plot window.
  constexpr double kMargin = 1.05;
  double most = 0;
  for (const auto& s : iq) most = std::max({most, std::abs(s.real()), std::abs(s.imag())});
  return kMargin * most;
}

}  // namespace dot11b::plots
