// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/chip_stream.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <numeric>
#include <optional>
#include <stdexcept>
#include <vector>

#include "phy/simd/avx2_clone.h"
#include "rx/stream/lanes.h"
#include "rx/stream/resample.h"

namespace dot11b::rx {

namespace {

constexpr int kTaps = 2 * kInterpolationReach;
constexpr int kPhases = 256;           // tabulated fractions of a sample, linearly interpolated
constexpr double kKaiserBeta = 5.0;

using Weights = std::array<double, kTaps>;
using SampleWeights = std::array<float, kTaps>;

// The weights of samples i - kInterpolationReach + 1 .. i + kInterpolationReach for the instant
// i + p / kPhases, p = 0 .. kPhases - 1: a Kaiser-windowed sinc, each row scaled to sum to 1 so that a
// constant signal reads as itself; with each row's steps to the next, for the instants between.
struct WeightRow {
  Weights at, step;
};

const std::array<WeightRow, kPhases>& weightTable() {
  static const std::array<WeightRow, kPhases> rows = [] {
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
    std::array<WeightRow, kPhases> withSteps;
    for (std::size_t p = 0; p < withSteps.size(); ++p) {
      withSteps[p].at = table[p];
      for (std::size_t m = 0; m < kTaps; ++m) withSteps[p].step[m] = table[p + 1][m] - table[p][m];
    }
    return withSteps;
  }();
  return rows;
}

// The weights for the fraction u (0 <= u < 1) of a sample, linearly between the table's rows.
SampleWeights weightsAt(double u) {
  const double at = u * kPhases;
  const auto p = std::min(static_cast<std::size_t>(at), std::size_t{kPhases - 1});
  const double f = at - static_cast<double>(p);
  const WeightRow& row = weightTable()[p];
  SampleWeights w;
  for (std::size_t m = 0; m < w.size(); ++m) w[m] = static_cast<float>(row.at[m] + f * row.step[m]);
  return w;
}

// The interpolated values on the components of the samples x (I and Q interleaved, as std::complex lays them
// out): value k, component c, weighs components 2 (spacing k + m) + c for m = 0 .. kTaps - 1.
void interpolateSpaced(const SampleWeights& w, const float* x, int count, int spacing, float* out) {
  for (int k = 0; k < count; ++k) {
    const float* at = x + 2 * spacing * k;
    float re = 0, im = 0;
    for (int m = 0; m < kTaps; ++m) {
      re += w[static_cast<std::size_t>(m)] * at[2 * m];
      im += w[static_cast<std::size_t>(m)] * at[2 * m + 1];
    }
    out[2 * k] = re;
    out[2 * k + 1] = im;
  }
}

// With a spacing of one sample (the symbol loops' half chips) the weights slide along the components one by
// one, a vector register of components at a time; an odd count's last value is the first half of one more
// register of 16 bytes, whose second half reads the sample after the span (spanTail() of them).
constexpr std::size_t spanTail(int count, int spacing) { return spacing == 1 && count % 2 != 0 ? 1 : 0; }

template <std::size_t Bytes>
[[gnu::always_inline]] inline int slideWeights(const SampleWeights& w, const float* x, int j, int end, float* out) {
  std::array<Lanes<float, Bytes>, kTaps> weights;  // each in every lane
  for (std::size_t m = 0; m < weights.size(); ++m) weights[m] = Lanes<float, Bytes>{} + w[m];
  for (; j + static_cast<int>(kLanes<float, Bytes>) <= end; j += kLanes<float, Bytes>) {
    Lanes<float, Bytes> sum = weights[0] * lanesAt<Bytes>(x + j);
#pragma GCC unroll 6
    for (std::size_t m = 1; m < weights.size(); ++m) sum += weights[m] * lanesAt<Bytes>(x + j + 2 * m);
    std::memcpy(out + j, &sum, sizeof sum);
  }
  if constexpr (Bytes == 16) {
    if (j < end) {
      // Summed from 0, as value by value (so that a sum of zeros is +0 whatever their signs).
      Lanes<float, Bytes> sum{};
#pragma GCC unroll 6
      for (std::size_t m = 0; m < weights.size(); ++m) sum += weights[m] * lanesAt<Bytes>(x + j + 2 * m);
      // With whole values in every register before it, the last holds one.
      std::memcpy(out + j, &sum, 2 * sizeof(float));
      j += 2;
    }
  }
  return j;
}

// The carrier's turn to take out of the values: its turn at the first value, and its turns over 0, 1, 2 ...
// samples, the real and the imaginary part each twice in a row (once for I, once for Q).
struct Turns {
  float startRe, startIm;
  const float* re;
  const float* im;
};

// The count values a sample apart from the first sample of x on, turned back by the turns (when given),
// into out in double precision.
template <std::size_t Bytes>
[[gnu::always_inline]] inline void readAdjacent(const SampleWeights& w, const float* x, int count, const Turns* turns,
                                                Complex* out) {
  using Floats = Lanes<float, Bytes>;
  constexpr int kFloats = kLanes<float, Bytes>;
  std::array<float, 2 * kMostValues + kFloats> values;
  const int end = 2 * count;
  const int wide = slideWeights<Bytes>(w, x, 0, end, values.data());
  if constexpr (Bytes != 16) slideWeights<16>(w, x, wide, end, values.data());
  std::memset(values.data() + end, 0, sizeof(float) * kFloats);  // the last register's lanes beyond the values
  Floats signs;  // -1 in the lanes of I, 1 in those of Q
  for (int l = 0; l < kFloats; ++l) signs[l] = l % 2 == 0 ? -1.0f : 1.0f;
  for (int j = 0; j < end; j += kFloats) {
    Floats v = lanesAt<Bytes>(values.data() + j);
    if (turns) {
      // (vr + i vi) (tr + i ti) = (vr tr - vi ti) + i (vi tr + vr ti), for the turn t = start x the turn over
      // the samples from the first value to this one.
      const Floats re = lanesAt<Bytes>(turns->re + j), im = lanesAt<Bytes>(turns->im + j);
      const Floats tr = turns->startRe * re - turns->startIm * im, ti = turns->startRe * im + turns->startIm * re;
      v = v * tr + pairsSwapped<Bytes>(v) * (ti * signs);
    }
    // Each half of the register into the values' doubles: whole, or its first value where only that is left.
    const std::array<Lanes<double, Bytes>, 2> halves = halvesInDoubles<Bytes>(v);
    constexpr int kHalf = kFloats / 2;
    double* const into = reinterpret_cast<double*>(out) + j;
    for (int h = 0; h < 2; ++h) {
      const int left = end - j - h * kHalf;
      if (left >= kHalf) {
        std::memcpy(into + h * kHalf, &halves[h], sizeof halves[h]);
      } else if (left > 0) {
        std::memcpy(into + h * kHalf, &halves[h], 2 * sizeof(double));
      }
    }
  }
}

#if defined(DOT11B_AVX2_VERSIONS)
DOT11B_AVX2 void readAdjacentValues(const SampleWeights& w, const float* x, int count, const Turns* turns, Complex* out) {
  readAdjacent<32>(w, x, count, turns, out);
}
DOT11B_BASELINE void readAdjacentValues(const SampleWeights& w, const float* x, int count, const Turns* turns,
                                        Complex* out) {
  readAdjacent<16>(w, x, count, turns, out);
}
#else
void readAdjacentValues(const SampleWeights& w, const float* x, int count, const Turns* turns, Complex* out) {
  readAdjacent<16>(w, x, count, turns, out);
}
#endif

}  // namespace

void ChipStream::signal(double t, int count, int spacing, Complex* out) const {
  if (count > kMostValues || static_cast<std::size_t>((count - 1) * spacing) >= kMostTurns) {
    throw std::logic_error("the stream reads at most 32 values over at most 64 samples at once");
  }
  const double floorT = std::floor(t);
  // Every instant lies a whole number of samples after t: one set of weights serves them all.
  const SampleWeights w = weightsAt(t - floorT);
  const long first = static_cast<long>(floorT) - kInterpolationReach + 1;
  const std::size_t span = kTaps + static_cast<std::size_t>(spacing * (count - 1)) + spanTail(count, spacing);
  const Sample* x = first >= 0 ? stretch(static_cast<std::size_t>(first), span) : nullptr;
  // At the stream's ends, sample by sample (0 outside it).
  std::vector<Sample> atEnds;
  if (!x) {
    atEnds.resize(span);
    for (std::size_t n = 0; n < span; ++n) atEnds[n] = sample(first + static_cast<long>(n));
    x = atEnds.data();
  }
  // Value k turns by the carrier's turn at t times its turn over the k x spacing samples after t, in the
  // values' single precision.
  std::optional<Turns> turns;
  if (radiansPerSample_ != 0) {
    const Complex start = std::polar(1.0, radiansPerSample_ * (t - origin_));
    turns = Turns{static_cast<float>(start.real()), static_cast<float>(start.imag()), turnsRe_.data(), turnsIm_.data()};
  }
  const auto* parts = reinterpret_cast<const float*>(x);
  if (spacing == 1) return readAdjacentValues(w, parts, count, turns ? &*turns : nullptr, out);
  std::array<float, 2 * kMostValues> values;
  interpolateSpaced(w, parts, count, spacing, values.data());
  for (int k = 0; k < count; ++k) {
    const float vr = values[static_cast<std::size_t>(2 * k)], vi = values[static_cast<std::size_t>(2 * k + 1)];
    if (!turns) {
      out[k] = {vr, vi};
      continue;
    }
    const auto n = static_cast<std::size_t>(2 * k * spacing);
    const float tr = turns->startRe * turnsRe_[n] - turns->startIm * turnsIm_[n];
    const float ti = turns->startRe * turnsIm_[n] + turns->startIm * turnsRe_[n];
    out[k] = {vr * tr - vi * ti, vr * ti + vi * tr};
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
  for (std::size_t n = 0; n < kMostTurns; ++n) {
    const Complex turn = std::polar(1.0, view.radiansPerSample_ * static_cast<double>(n));
    view.turnsRe_[2 * n] = view.turnsRe_[2 * n + 1] = static_cast<float>(turn.real());
    view.turnsIm_[2 * n] = view.turnsIm_[2 * n + 1] = static_cast<float>(turn.imag());
  }
  view.origin_ = origin;
  return view;
}

}  // namespace dot11b::rx
