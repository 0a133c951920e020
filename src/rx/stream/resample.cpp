// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/stream/resample.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <numbers>
#include <stdexcept>
#include <vector>

#include "phy/simd/avx2_clone.h"
#include "rx/stream/lanes.h"
namespace dot11b::rx {

namespace {

constexpr int kTableSteps = 256;     // kernel samples per input sample, linearly interpolated
constexpr double kKaiserBeta = 8.0;  // about 80 dB of stop-band attenuation

// The taps of output instant t (in input samples), on the inputs from `lowest` to `highest`.

template <typename Real>
ResamplerTaps<Real> tapsAt(double t, double halfWidth, const std::vector<double>& table, long lowest, long highest) {
  ResamplerTaps<Real> taps;
  taps.first = std::max(lowest, static_cast<long>(std::ceil(t - halfWidth)));
  const long end = std::min(highest, static_cast<long>(std::floor(t + halfWidth)));
  for (long k = taps.first; k <= end; ++k) {
    const double at = std::abs(t - static_cast<double>(k)) * kTableSteps;
    const auto i = static_cast<std::size_t>(at);
    const double frac = at - static_cast<double>(i);
    taps.weights.push_back(static_cast<Real>(table[i] + frac * (table[i + 1] - table[i])));
  }
  return taps;
}

template <typename S, typename Real>
S apply(const ResamplerTaps<Real>& taps, const S* x) {
  Real re = 0, im = 0;
  for (std::size_t k = 0; k < taps.weights.size(); ++k) {
    re += taps.weights[k] * x[k].real();
    im += taps.weights[k] * x[k].imag();
  }
  return {re, im};
}

// q when `step` is p/q for a q of at most 64 (22 to 44 Msample/s: 1/2; 20 to 44: 5/11), else 0.
long phasePeriod(double step) {
  for (long q = 1; q <= 64; ++q)
    if (std::abs(step * static_cast<double>(q) - std::round(step * static_cast<double>(q))) < 1e-9) return q;
  return 0;
}

// Round r of one phase, from weighing the taps' stretches of parts (I and Q side by side), to phaseOut[r x
// period]. Eight vector registers' worth of parts at a time, summed over the taps in the registers.
template <std::size_t Bytes, typename Real>
[[gnu::always_inline]] inline void weighRoundsIn(const Real* weights, const Real* const* stretches, std::size_t taps,
                                                 std::size_t parts, std::complex<Real>* phaseOut, std::size_t period) {
  using Parts = Lanes<Real, Bytes>;
  constexpr std::size_t kParts = kLanes<Real, Bytes>;
  // The rounds of lanes from part i (even) on: I and Q side by side.
  const auto put = [&](std::size_t i, const Parts& sum) {
    for (std::size_t l = 0; l < kParts; l += 2) phaseOut[(i + l) / 2 * period] = {sum[l], sum[l + 1]};
  };
  constexpr std::size_t kRegisters = 8;
  constexpr std::size_t kBlock = kRegisters * kParts;
  std::size_t i = 0;
  for (; i + kBlock <= parts; i += kBlock) {
    std::array<Parts, kRegisters> sums{};
    for (std::size_t k = 0; k < taps; ++k) {
      const Real w = weights[k];
      const Real* x = stretches[k] + i;
#pragma GCC unroll 8
      for (std::size_t r = 0; r < kRegisters; ++r) sums[r] += w * lanesAt<Bytes>(x + r * kParts);
    }
#pragma GCC unroll 8
    for (std::size_t r = 0; r < kRegisters; ++r) put(i + r * kParts, sums[r]);
  }
  for (; i < parts; i += 2) {
    Real re = 0, im = 0;
    for (std::size_t k = 0; k < taps; ++k) {
      re += weights[k] * stretches[k][i];
      im += weights[k] * stretches[k][i + 1];
    }
    phaseOut[i / 2 * period] = {re, im};
  }
}

template <typename Real>
void weighRounds(const Real* weights, const Real* const* stretches, std::size_t taps, std::size_t parts,
                 std::complex<Real>* phaseOut, std::size_t period) {
  weighRoundsIn<16>(weights, stretches, taps, parts, phaseOut, period);
}

#if defined(DOT11B_AVX2_VERSIONS)
// Single precision, which the receiver runs in, also in AVX2's registers; double precision as above.
DOT11B_BASELINE void weighRounds(const float* weights, const float* const* stretches, std::size_t taps, std::size_t parts,
                                 std::complex<float>* phaseOut, std::size_t period) {
  weighRoundsIn<16>(weights, stretches, taps, parts, phaseOut, period);
}
DOT11B_AVX2 void weighRounds(const float* weights, const float* const* stretches, std::size_t taps, std::size_t parts,
                             std::complex<float>* phaseOut, std::size_t period) {
  weighRoundsIn<32>(weights, stretches, taps, parts, phaseOut, period);
}
#endif

}  // namespace

std::vector<double> windowedSinc(double cutoff, double halfWidth, double beta, int steps) {
  const auto besselI0 = [](double x) {
    double sum = 1, term = 1;
    for (int k = 1; k < 50; ++k) {
      term *= (x / (2 * k)) * (x / (2 * k));
      sum += term;
      if (term < 1e-17 * sum) break;
    }
    return sum;
  };
  const auto entries = static_cast<std::size_t>(std::ceil(halfWidth * steps)) + 2;
  std::vector<double> table(entries);
  const double norm = besselI0(beta);
  for (std::size_t i = 0; i < entries; ++i) {
    const double x = static_cast<double>(i) / steps;
    const double u = x / halfWidth;
    const double window = u < 1 ? besselI0(beta * std::sqrt(1 - u * u)) / norm : 0.0;
    const double arg = 2 * cutoff * x;
    const double sinc = arg == 0 ? 1.0 : std::sin(std::numbers::pi * arg) / (std::numbers::pi * arg);
    table[i] = 2 * cutoff * sinc * window;
  }
  return table;
}

template <typename S>
Resampler<S>::Resampler(double fromRate, double toRate, int halfTaps) {
  if (!(fromRate > 0) || !(toRate > 0) || !std::isfinite(fromRate) || !std::isfinite(toRate)) {
    throw std::invalid_argument("resample: the sample rates must be finite and positive");
  }
  passThrough_ = fromRate == toRate;
  step_ = fromRate / toRate;
  // Cut-off in cycles per input sample; the kernel widens with the decimation so that it keeps its taps.
  const double cutoff = 0.5 * std::min(1.0, 1.0 / step_) * (step_ > 1 ? 0.9 : 1.0);
  halfWidth_ = halfTaps * std::max(1.0, step_);
  if (passThrough_) return;
  table_ = windowedSinc(cutoff, halfWidth_, kKaiserBeta, kTableSteps);
  // With a rational ratio the outputs repeat their taps every q outputs, q x step input samples on: away
  // from the ends, each phase's taps are computed once.
  period_ = phasePeriod(step_);
  advance_ = std::lround(step_ * static_cast<double>(period_));
  for (long j = 0; j < period_; ++j) {
    ResamplerTaps<Real> taps = tapsAt<Real>(static_cast<double>(j) * step_, halfWidth_, table_, LONG_MIN, LONG_MAX);
    // Weights that are zero but for rounding are left out at both ends: an output that falls on an input
    // (every other one when doubling the rate) is that input alone.
    const auto tiny = [](Real w) { return std::abs(w) < 1e-12; };
    while (!taps.weights.empty() && tiny(taps.weights.back())) taps.weights.pop_back();
    const auto lead = std::find_if_not(taps.weights.begin(), taps.weights.end(), tiny) - taps.weights.begin();
    taps.weights.erase(taps.weights.begin(), taps.weights.begin() + lead);
    taps.first += lead;
    phases_.push_back(std::move(taps));
  }
  for (const ResamplerTaps<Real>& taps : phases_) {
    phasesFirst_ = std::min(phasesFirst_, taps.first);
    phasesLast_ = std::max(phasesLast_, taps.first + static_cast<long>(taps.weights.size()) - 1);
  }
}

template <typename S>
void Resampler<S>::push(const S* in, std::size_t n, std::vector<S>& out) {
  if (passThrough_) {
    out.insert(out.end(), in, in + n);
    return;
  }
  inputs_.append(in, n);
  received_ += static_cast<long>(n);
  produce(out, false);
}

template <typename S>
void Resampler<S>::finish(std::vector<S>& out) {
  if (!passThrough_ && received_ > 0) produce(out, true);
}

// `rounds` rounds of every phase from output next_ (of phase 0) on, appended to `out`. The inputs are first
// dealt into `advance_` phases (input first + m + advance_ t into phase m at t), so that round r of a tap
// lies r places on in one phase: each tap weighs a contiguous stretch for every round at once, loops over
// plain arrays of numbers, four to a vector instruction in single precision. Each output is the sum apply()
// makes (the same additions in the same order).
template <typename S>
void Resampler<S>::produceRounds(long rounds, std::vector<S>& out) {
  const long first = phaseOffset_ + phasesFirst_;
  const long perPhase = rounds + (phasesLast_ - phasesFirst_) / advance_ + 1;
  dealt_.resize(static_cast<std::size_t>(advance_));
  for (long m = 0; m < advance_; ++m) {
    std::vector<S>& phase = dealt_[static_cast<std::size_t>(m)];
    phase.resize(static_cast<std::size_t>(perPhase));
    // Beyond the inputs in (which no output of these rounds takes): 0.
    const long in = received_ > first + m ? std::min(perPhase, (received_ - first - m + advance_ - 1) / advance_) : 0;
    std::fill(phase.begin() + in, phase.end(), S(0, 0));
    // Copied as bytes: an assignment of std::complex goes part by part.
    if (in == 0) continue;
    const S* input = inputs_.from(static_cast<std::size_t>(first + m));
    for (long t = 0; t < in; ++t) std::memcpy(&phase[static_cast<std::size_t>(t)], input + advance_ * t, sizeof(S));
  }
  const std::size_t at = out.size(), parts = 2 * static_cast<std::size_t>(rounds);
  out.resize(at + static_cast<std::size_t>(rounds * period_));
  const auto period = static_cast<std::size_t>(period_);
  for (long j = 0; j < period_; ++j) {
    const ResamplerTaps<Real>& taps = phases_[static_cast<std::size_t>(j)];
    stretches_.resize(taps.weights.size());
    for (std::size_t k = 0; k < taps.weights.size(); ++k) {
      const long e = taps.first - phasesFirst_ + static_cast<long>(k);
      const S* phase = dealt_[static_cast<std::size_t>(e % advance_)].data();
      stretches_[k] = reinterpret_cast<const Real*>(phase + e / advance_);
    }
    weighRounds(taps.weights.data(), stretches_.data(), stretches_.size(), parts, out.data() + at + j, period);
  }
}

template <typename S>
void Resampler<S>::produce(std::vector<S>& out, bool atEnd) {
  const long last = received_ - 1;
  // The outputs the whole capture has: one for every step up to its last input.
  const auto total = static_cast<std::size_t>(std::floor(static_cast<double>(last) / step_)) + 1;
  constexpr long kRounds = 4, kMostRounds = 4096;
  for (; atEnd ? next_ < total : true; ++next_) {
    // Rounds of every phase at once, when each of their outputs takes its phase's taps on inputs that are all
    // in (which the one-by-one path below checks output by output): as many as are in, four at least.
    if (period_ > 0 && phase_ == 0 && phaseOffset_ + phasesFirst_ >= 0) {
      long rounds = last >= phaseOffset_ + phasesLast_ ? (last - phaseOffset_ - phasesLast_) / advance_ + 1 : 0;
      rounds = std::min(rounds, kMostRounds);
      const auto allIn = [&](long r) {
        const std::size_t lastOfRounds = next_ + static_cast<std::size_t>(r * period_) - 1;
        return atEnd ? lastOfRounds < total
                     : static_cast<long>(std::floor(static_cast<double>(lastOfRounds) * step_ + halfWidth_)) <= last;
      };
      while (rounds >= kRounds && !allIn(rounds)) --rounds;
      if (rounds >= kRounds) {
        produceRounds(rounds, out);
        phaseOffset_ += rounds * advance_;
        next_ += static_cast<std::size_t>(rounds * period_) - 1;
        continue;
      }
    }
    const double t = static_cast<double>(next_) * step_;
    // Before the end, an output waits until every input it takes is in.
    if (!atEnd && static_cast<long>(std::floor(t + halfWidth_)) > last) break;
    bool done = false;
    if (period_ > 0) {
      const ResamplerTaps<Real>& taps = phases_[static_cast<std::size_t>(phase_)];
      if (taps.first + phaseOffset_ >= 0 && taps.first + phaseOffset_ + static_cast<long>(taps.weights.size()) - 1 <= last) {
        out.push_back(apply(taps, inputs_.from(static_cast<std::size_t>(taps.first + phaseOffset_))));
        done = true;
      }
      // Output next_ + 1's phase, and how far its taps lie from those of phase 0's first output.
      if (++phase_ == period_) {
        phase_ = 0;
        phaseOffset_ += advance_;
      }
    }
    if (!done) {
      const ResamplerTaps<Real> taps = tapsAt<Real>(t, halfWidth_, table_, 0, last);
      out.push_back(apply(taps, inputs_.from(static_cast<std::size_t>(taps.first))));
    }
  }
  // The inputs no later output takes.
  const long keepFrom = std::max(0L, static_cast<long>(std::ceil(static_cast<double>(next_) * step_ - halfWidth_)));
  inputs_.releaseBefore(static_cast<std::size_t>(keepFrom));
}

template class Resampler<Complex>;
template class Resampler<Sample>;

ComplexRow resample(const ComplexRow& in, double fromRate, double toRate) {
  Resampler resampler(fromRate, toRate);
  ComplexRow out;
  out.reserve(static_cast<std::size_t>(static_cast<double>(in.size()) * toRate / fromRate) + 1);
  resampler.push(in.data(), in.size(), out);
  resampler.finish(out);
  return out;
}

}  // namespace dot11b::rx
