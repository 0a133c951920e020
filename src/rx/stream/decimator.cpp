#include "rx/stream/decimator.h"

#include <cmath>
#include <numeric>

#include "rx/stream/resample.h"

namespace dot11b::rx {

namespace {

constexpr long kReachPerOutput = 12;  // output samples each side whose inputs the filter takes
constexpr double kKaiserBeta = 8.0;   // about 80 dB of stop-band attenuation

}  // namespace

Decimator::Decimator(std::size_t factor) : factor_(factor), reach_(kReachPerOutput * static_cast<long>(factor)) {
  const std::vector<double> kernel =
      windowedSinc(0.5 / static_cast<double>(factor), static_cast<double>(reach_), kKaiserBeta, 1);
  for (long n = -reach_; n <= reach_; ++n) {
    const double w = kernel[static_cast<std::size_t>(std::abs(n))];
    if (std::abs(w) < 1e-12) continue;
    offsets_.push_back(n);
    weights_.push_back(w);
  }
  // A constant passes unchanged.
  const double sum = std::accumulate(weights_.begin(), weights_.end(), 0.0);
  for (double& w : weights_) w /= sum;
}

void Decimator::push(const Complex* in, std::size_t n, ComplexRow& out) {
  inputs_.append(in, n);
  received_ += n;
  produce(out, false);
}

void Decimator::finish(ComplexRow& out) { produce(out, true); }

void Decimator::produce(ComplexRow& out, bool atEnd) {
  const auto received = static_cast<long>(received_);
  const auto held = static_cast<long>(inputs_.first());
  for (;; ++next_) {
    const long centre = static_cast<long>(next_ * factor_);
    // Before the end, an output waits for every input it takes; at the end each input has its output.
    if (atEnd ? centre >= received : centre + reach_ >= received) break;
    double re = 0, im = 0;
    if (centre - reach_ >= held && centre + reach_ < received) {
      const Complex* x = inputs_.from(static_cast<std::size_t>(centre));
      for (std::size_t k = 0; k < offsets_.size(); ++k) {
        re += weights_[k] * x[offsets_[k]].real();
        im += weights_[k] * x[offsets_[k]].imag();
      }
    } else {
      // Near the ends, the inputs before the first and after the last count as 0.
      for (std::size_t k = 0; k < offsets_.size(); ++k) {
        const long at = centre + offsets_[k];
        if (at < 0 || at >= received) continue;
        const Complex x = *inputs_.from(static_cast<std::size_t>(at));
        re += weights_[k] * x.real();
        im += weights_[k] * x.imag();
      }
    }
    out.emplace_back(re, im);
  }
  const long keepFrom = static_cast<long>(next_ * factor_) - reach_;
  if (keepFrom > 0) inputs_.releaseBefore(static_cast<std::size_t>(keepFrom));
}

}  // namespace dot11b::rx
