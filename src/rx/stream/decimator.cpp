// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/stream/decimator.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

#include "rx/stream/lanes.h"
#include "rx/stream/resample.h"

namespace dot11b::rx {

namespace {

constexpr long kReachPerOutput = 12;  // output samples each side whose inputs the filter takes
constexpr double kKaiserBeta = 8.0;   // about 80 dB of stop-band attenuation

}  // namespace

template <typename S>
Decimator<S>::Decimator(std::size_t factor) : factor_(factor), reach_(kReachPerOutput * static_cast<long>(factor)) {
  const std::vector<double> kernel =
      windowedSinc(0.5 / static_cast<double>(factor), static_cast<double>(reach_), kKaiserBeta, 1);
  // The kernel is even: each weight but the centre's serves the inputs on both sides.
  centreWeight_ = static_cast<Real>(kernel[0]);
  for (long n = 1; n <= reach_; ++n) {
    const double w = kernel[static_cast<std::size_t>(n)];
    if (std::abs(w) < 1e-12) continue;
    offsets_.push_back(n);
    weights_.push_back(static_cast<Real>(w));
  }
  // A constant passes unchanged.
  const double sum = centreWeight_ + 2 * std::accumulate(weights_.begin(), weights_.end(), 0.0);
  centreWeight_ = static_cast<Real>(centreWeight_ / sum);
  for (Real& w : weights_) w = static_cast<Real>(w / sum);
}

template <typename S>
void Decimator<S>::push(const S* in, std::size_t n, std::vector<S>& out) {
  inputs_.append(in, n);
  received_ += n;
  produce(out, false);
}

template <typename S>
void Decimator<S>::finish(std::vector<S>& out) { produce(out, true); }

// Outputs j0 .. j0 + count - 1, all of whose inputs are held, appended to `out`. The inputs are first dealt
// into their phases (input d t + p into phase p at t), so that each tap weighs a contiguous stretch of one
// phase for every output at once: loops over plain arrays of numbers, four to a vector instruction in
// single precision. Each output is the sum the sample-by-sample path makes, in the same order.
template <typename S>
void Decimator<S>::produceRun(std::size_t j0, std::size_t count, std::vector<S>& out) {
  const auto d = static_cast<long>(factor_);
  const long margin = (reach_ + d - 1) / d + 1;  // phase samples each side of the run's
  const long tFirst = static_cast<long>(j0) - margin, span = static_cast<long>(count) + 2 * margin;
  phases_.resize(factor_);
  // The first t whose input d (tFirst + t) + p is at least n.
  const auto firstFrom = [&](long n, long p) {
    const long above = n - p - d * tFirst;
    return std::clamp(above >= 0 ? (above + d - 1) / d : -(-above / d), 0L, span);
  };
  for (long p = 0; p < d; ++p) {
    std::vector<S>& phase = phases_[static_cast<std::size_t>(p)];
    phase.resize(static_cast<std::size_t>(span));
    // Beyond the inputs held (which no output of the run takes): 0.
    const long from = firstFrom(static_cast<long>(inputs_.first()), p);
    const long to = std::max(from, firstFrom(static_cast<long>(received_), p));
    std::fill(phase.begin(), phase.begin() + from, S(0, 0));
    std::fill(phase.begin() + to, phase.end(), S(0, 0));
    if (from == to) continue;
    // Copied as bytes: an assignment of std::complex goes part by part.
    const S* input = inputs_.from(static_cast<std::size_t>(d * (tFirst + from) + p));
    for (long t = from; t < to; ++t) {
      std::memcpy(&phase[static_cast<std::size_t>(t)], input + d * (t - from), sizeof(S));
    }
  }
  // Input d j + n of output j, as a stretch of its phase from output j0 on.
  const auto stretch = [&](long n) {
    const long p = ((n % d) + d) % d, q = (n - p) / d;
    return reinterpret_cast<const Real*>(phases_[static_cast<std::size_t>(p)].data() + (margin + q));
  };
  const std::size_t at = out.size();
  out.resize(at + count);
  Real* const into = reinterpret_cast<Real*>(out.data() + at);
  const std::size_t parts = 2 * count;  // I and Q of each output
  const Real* centre = stretch(0);
  afters_.resize(offsets_.size());
  befores_.resize(offsets_.size());
  for (std::size_t k = 0; k < offsets_.size(); ++k) {
    afters_[k] = stretch(offsets_[k]);
    befores_[k] = stretch(-offsets_[k]);
  }
  // Eight vector registers' worth of parts at a time, summed over the taps in the registers: each tap's
  // weight and stretches serve eight sums.
  constexpr std::size_t kRegisters = 8;
  constexpr std::size_t kBlock = kRegisters * kLanes<Real>;
  std::size_t i = 0;
  for (; i + kBlock <= parts; i += kBlock) {
    Lanes<Real> sum[kRegisters];
#pragma GCC unroll 8
    for (std::size_t b = 0; b < kRegisters; ++b) sum[b] = centreWeight_ * lanesAt(centre + i + b * kLanes<Real>);
    for (std::size_t k = 0; k < offsets_.size(); ++k) {
      const Real w = weights_[k];
      const Real* after = afters_[k] + i;
      const Real* before = befores_[k] + i;
#pragma GCC unroll 8
      for (std::size_t b = 0; b < kRegisters; ++b) {
        sum[b] += w * (lanesAt(after + b * kLanes<Real>) + lanesAt(before + b * kLanes<Real>));
      }
    }
    std::memcpy(into + i, sum, sizeof sum);
  }
  for (; i < parts; ++i) {
    Real sum = centreWeight_ * centre[i];
    for (std::size_t k = 0; k < offsets_.size(); ++k) sum += weights_[k] * (afters_[k][i] + befores_[k][i]);
    into[i] = sum;
  }
}

template <typename S>
void Decimator<S>::produce(std::vector<S>& out, bool atEnd) {
  const auto received = static_cast<long>(received_);
  const auto held = static_cast<long>(inputs_.first());
  for (;; ++next_) {
    const long centre = static_cast<long>(next_ * factor_);
    // Before the end, an output waits for every input it takes; at the end each input has its output.
    if (atEnd ? centre >= received : centre + reach_ >= received) break;
    if (centre - reach_ >= held && centre + reach_ < received) {
      // The outputs from here whose inputs are all in, at once.
      const std::size_t last = static_cast<std::size_t>(received - 1 - reach_) / factor_;
      const std::size_t count = last - next_ + 1;
      produceRun(next_, count, out);
      next_ += count - 1;
      continue;
    }
    // Near the ends, the inputs before the first and after the last count as 0.
    const auto input = [&](long at) {
      return at < 0 || at >= received ? S(0, 0) : *inputs_.from(static_cast<std::size_t>(at));
    };
    S sum = centreWeight_ * input(centre);
    for (std::size_t k = 0; k < offsets_.size(); ++k)
      sum += weights_[k] * (input(centre + offsets_[k]) + input(centre - offsets_[k]));
    out.push_back(sum);
  }
  const long keepFrom = static_cast<long>(next_ * factor_) - reach_;
  if (keepFrom > 0) inputs_.releaseBefore(static_cast<std::size_t>(keepFrom));
}

template class Decimator<Complex>;
template class Decimator<Sample>;

}  // namespace dot11b::rx
