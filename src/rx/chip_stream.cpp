// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/chip_stream.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <vector>

#include "rx/stream/resample.h"

namespace dot11b::rx {

namespace {

constexpr int kTaps = 2 * kInterpolationReach;
constexpr int kPhases = 256;           // tabulated fractions of a sample, linearly interpolated
constexpr double kKaiserBeta = 5.0;

using Weights = std::array<double, kTaps>;

// The weights of samples i - kInterpolationReach + 1 .. i + kInterpolationReach for the instant
// i + p / kPhases, p = 0 .. kPhases: a Kaiser-windowed sinc, each row scaled to sum to 1 so that a constant
// signal reads as itself.
const std::vector<Weights>& weightTable() {
  static const std::vector<Weights> rows = [] {
    const std::vector<double> kernel = windowedSinc(0.5, kInterpolationReach, kKaiserBeta, kPhases);
    std::vector<Weights> table(kPhases + 1);
    for (int p = 0; p <= kPhases; ++p) {
      Weights& row = table[static_cast<std::size_t>(p)];
      for (int m = 0; m < kTaps; ++m) {
        const int distance = std::abs(p - (m - kInterpolationReach + 1) * kPhases);  // in table steps
        row[static_cast<std::size_t>(m)] = kernel[static_cast<std::size_t>(distance)];
      }
      const double sum = std::accumulate(row.begin(), row.end(), 0.0);
      for (double& w : row) w /= sum;
    }
    return table;
  }();
  return rows;
}

// The weights for the fraction u (0 <= u < 1) of a sample.
Weights weightsAt(double u) {
  const double at = u * kPhases;
  const auto p = std::min(static_cast<std::size_t>(at), std::size_t{kPhases - 1});
  const double f = at - static_cast<double>(p);
  const Weights& below = weightTable()[p];
  const Weights& above = weightTable()[p + 1];
  Weights w;
  for (std::size_t m = 0; m < w.size(); ++m) w[m] = below[m] + f * (above[m] - below[m]);
  return w;
}

// The samples from p weighted: even and odd taps summed apart, so that no addition waits for the one before.
Complex weighted(const Weights& w, const Complex* p) {
  double re[2] = {}, im[2] = {};
  for (std::size_t m = 0; m < kTaps; m += 2) {
    re[0] += w[m] * p[m].real();
    im[0] += w[m] * p[m].imag();
    re[1] += w[m + 1] * p[m + 1].real();
    im[1] += w[m + 1] * p[m + 1].imag();
  }
  return {re[0] + re[1], im[0] + im[1]};
}

}  // namespace

void ChipStream::signal(double t, int count, int spacing, Complex* out) const {
  const double floorT = std::floor(t);
  // Every instant lies a whole number of samples after t: one set of weights serves them all.
  const Weights w = weightsAt(t - floorT);
  const long first = static_cast<long>(floorT) - kInterpolationReach + 1;
  const std::size_t span = kTaps + static_cast<std::size_t>(spacing * (count - 1));
  const Complex* x = first >= 0 ? stretch(static_cast<std::size_t>(first), span) : nullptr;
  const bool turning = radiansPerSample_ != 0;
  Complex rotation = turning ? std::polar(1.0, radiansPerSample_ * (t - origin_)) : Complex(1, 0);
  Complex turn(1, 0);
  for (int k = 0; k < spacing; ++k) turn *= sampleTurn_;
  std::array<Complex, kTaps> atEnds;  // at the stream's ends, sample by sample (0 outside it)
  for (int k = 0; k < count; ++k) {
    const long at = first + spacing * k;
    if (!x) {
      for (int m = 0; m < kTaps; ++m) atEnds[static_cast<std::size_t>(m)] = sample(at + m);
    }
    const Complex value = weighted(w, x ? x + (at - first) : atEnds.data());
    out[k] = turning ? value * rotation : value;
    rotation *= turn;
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
  view.sampleTurn_ = std::polar(1.0, view.radiansPerSample_);
  view.origin_ = origin;
  return view;
}

}  // namespace dot11b::rx
