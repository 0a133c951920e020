// SPDX-License-Identifier: GPL-3.0-or-later
// The receiver's front end, block by block: the capture taken to four samples a chip (44 Msample/s), then
// each sample averaged over the chip around it, a filter matched to a chip with its first null at 11 MHz
// (a single sample a chip would keep the noise of the whole 44 MHz band). The blocks of a capture give
// exactly the stream that the whole capture gives at once.
#pragma once

#include <array>
#include <cstddef>

#include "phy/types.h"
#include "rx/resample.h"

namespace dot11b::rx {

class FrontEnd {
 public:
  // sampleRate: the capture's [Hz]; throws std::invalid_argument unless finite and positive.
  explicit FrontEnd(double sampleRate);
  // Appends to `stream` the samples that `n` more capture samples complete.
  void push(const Complex* samples, std::size_t n, ComplexRow& stream);
  // The capture has ended: appends the samples that waited for what would have come after it.
  void finish(ComplexRow& stream);

 private:
  void filter(const ComplexRow& in, ComplexRow& stream);
  void emit(std::size_t n, ComplexRow& stream);

  Resampler resampler_;
  ComplexRow resampled_;
  std::array<Complex, 4> recent_{};  // the filter's last four inputs, by index modulo 4
  Complex window_{0, 0};             // their sum
  std::size_t taken_ = 0;            // inputs the filter has taken
};

}  // namespace dot11b::rx
