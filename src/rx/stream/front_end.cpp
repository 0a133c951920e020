// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/stream/front_end.h"

#include <cmath>

#include "phy/simd/avx2_clone.h"
#include "runtime/value_range.h"
#include "rx/chip_stream.h"

namespace dot11b::rx {

namespace {

constexpr int kResamplerHalfTaps = 8;

// out[k] = the mean of in[k] and in[k + 1], for k = 0 .. n - 2.
template <typename S>
DOT11B_ALSO_AVX2 void meansOfNeighbours(const S* in, std::size_t n, S* out) {
  const typename S::value_type half = 0.5;
#pragma GCC unroll 4
  for (std::size_t k = 0; k + 1 < n; ++k) out[k] = (in[k] + in[k + 1]) * half;
}

}  // namespace

void requireReceivableRate(std::string_view name, double sampleRate) {
  rt::requireInRange(name, sampleRate, kLowestSampleRate, kHighestSampleRate, "Hz",
                     "the receiver's range of 1 MHz to 1 GHz");
}

template <typename S>
FrontEnd<S>::FrontEnd(double sampleRate) {
  requireReceivableRate("the sample rate", sampleRate);
  const double ratio = sampleRate / kStreamRate;
  if (ratio >= 2 && ratio == std::round(ratio)) {
    decimator_.emplace(static_cast<std::size_t>(ratio));
  } else if (ratio != 1) {
    // The chip filter after it falls to 0 at 11 MHz, the band's edge, where a shorter kernel droops.
    resampler_.emplace(sampleRate, kStreamRate, kResamplerHalfTaps);
  }
}

template <typename S>
void FrontEnd<S>::push(const S* samples, std::size_t n, std::vector<S>& stream) {
  if (!decimator_ && !resampler_) {
    filter(samples, n, stream);
    return;
  }
  converted_.clear();
  if (decimator_) decimator_->push(samples, n, converted_);
  if (resampler_) resampler_->push(samples, n, converted_);
  filter(converted_.data(), converted_.size(), stream);
}

template <typename S>
void FrontEnd<S>::finish(std::vector<S>& stream) {
  converted_.clear();
  if (decimator_) decimator_->finish(converted_);
  if (resampler_) resampler_->finish(converted_);
  filter(converted_.data(), converted_.size(), stream);
  // The last sample's chip runs past the capture's end.
  if (previous_) stream.push_back(*previous_ * typename S::value_type(0.5));
}

// Stream sample j is the mean of inputs j and j + 1: a chip's, centred half a sample after j.
template <typename S>
void FrontEnd<S>::filter(const S* in, std::size_t n, std::vector<S>& stream) {
  if (n == 0) return;
  if (previous_) stream.push_back((*previous_ + in[0]) * typename S::value_type(0.5));
  const std::size_t at = stream.size();
  stream.resize(at + n - 1);
  meansOfNeighbours(in, n, stream.data() + at);
  previous_ = in[n - 1];
}

template class FrontEnd<Complex>;
template class FrontEnd<Sample>;

}  // namespace dot11b::rx
