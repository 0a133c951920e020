// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/stream/decimator.h"

#include <cmath>
#include <numeric>

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

template <typename S>
void Decimator<S>::produce(std::vector<S>& out, bool atEnd) {
  const auto received = static_cast<long>(received_);
  const auto held = static_cast<long>(inputs_.first());
  for (;; ++next_) {
    const long centre = static_cast<long>(next_ * factor_);
    // Before the end, an output waits for every input it takes; at the end each input has its output.
    if (atEnd ? centre >= received : centre + reach_ >= received) break;
    S sum(0, 0);
    if (centre - reach_ >= held && centre + reach_ < received) {
      const S* x = inputs_.from(static_cast<std::size_t>(centre));
      sum = centreWeight_ * x[0];
      for (std::size_t k = 0; k < offsets_.size(); ++k) sum += weights_[k] * (x[offsets_[k]] + x[-offsets_[k]]);
    } else {
      // Near the ends, the inputs before the first and after the last count as 0.
      const auto input = [&](long at) {
        return at < 0 || at >= received ? S(0, 0) : *inputs_.from(static_cast<std::size_t>(at));
      };
      sum = centreWeight_ * input(centre);
      for (std::size_t k = 0; k < offsets_.size(); ++k)
        sum += weights_[k] * (input(centre + offsets_[k]) + input(centre - offsets_[k]));
    }
    out.push_back(sum);
  }
  const long keepFrom = static_cast<long>(next_ * factor_) - reach_;
  if (keepFrom > 0) inputs_.releaseBefore(static_cast<std::size_t>(keepFrom));
}

template class Decimator<Complex>;
template class Decimator<Sample>;

}  // namespace dot11b::rx
