// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/front_end.h"

#include "rx/chip_stream.h"

namespace dot11b::rx {

FrontEnd::FrontEnd(double sampleRate) : resampler_(sampleRate, kStreamRate) {}

void FrontEnd::push(const Complex* samples, std::size_t n, ComplexRow& stream) {
  resampled_.clear();
  resampler_.push(samples, n, resampled_);
  filter(resampled_, stream);
}

void FrontEnd::finish(ComplexRow& stream) {
  resampled_.clear();
  resampler_.finish(resampled_);
  filter(resampled_, stream);
  // The last two outputs: windows that run past the end.
  for (std::size_t n = taken_; n < taken_ + 2; ++n) emit(n, stream);
}

void FrontEnd::filter(const ComplexRow& in, ComplexRow& stream) {
  for (const Complex& x : in) {
    window_ += x;
    emit(taken_, stream);
    recent_[taken_ % kSamplesPerChip] = x;
    ++taken_;
  }
}

// Input n has just been added (or, past the end, would have been): the chip that ends with it leaves out
// input n - 4, and its mean belongs at n - 2, half a sample early of its centre n - 1.5.
void FrontEnd::emit(std::size_t n, ComplexRow& stream) {
  if (n >= kSamplesPerChip) window_ -= recent_[n % kSamplesPerChip];
  if (n >= 2) stream.push_back(window_ / static_cast<double>(kSamplesPerChip));
}

}  // namespace dot11b::rx
