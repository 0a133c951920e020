// SPDX-License-Identifier: GPL-3.0-or-later
// Decimation by a whole factor d, block by block: a Kaiser-windowed sinc low-pass cut at the new rate's
// half (for d = 2 a half-band filter, every other tap 0 and left out), then every d-th sample kept. The
// front end takes a capture at 44 or 88 Msample/s to 22 this way, for a fraction of a resampler's work.
#pragma once

#include <cstddef>
#include <vector>

#include "phy/types.h"
#include "rx/stream/sliding_samples.h"

namespace dot11b::rx {

class Decimator {
 public:
  // `factor` 2 or more.
  explicit Decimator(std::size_t factor);
  // Appends to `out` the samples whose inputs are all in; the others wait for the next block or finish().
  void push(const Complex* in, std::size_t n, ComplexRow& out);
  // The input has ended (the samples after it count as 0): appends the outputs up to its last input.
  void finish(ComplexRow& out);

 private:
  void produce(ComplexRow& out, bool atEnd);

  std::size_t factor_;
  long reach_;                 // input samples each side of an output's centre
  double centreWeight_ = 0;
  std::vector<long> offsets_;  // of the taps after the centre that are not 0 (those before mirror them)
  std::vector<double> weights_;
  SlidingSamples inputs_{0};
  std::size_t received_ = 0;
  std::size_t next_ = 0;  // the next output, centred on input next_ x factor_
};

}  // namespace dot11b::rx
