// SPDX-License-Identifier: GPL-3.0-or-later
// Decimation by a whole factor d, block by block: a Kaiser-windowed sinc low-pass cut at the new rate's
// half (for d = 2 a half-band filter, every other tap 0 and left out), then every d-th sample kept. The
// front end takes a capture at 44 or 88 Msample/s to 22 this way, for a fraction of a resampler's work.
#pragma once

#include <cstddef>
#include <vector>

#include "phy/types.h"
#include "rx/stream/sample.h"
#include "rx/stream/sliding_samples.h"

namespace dot11b::rx {

// `S`: the sample type (the receiver's, or double precision).
template <typename S = Complex>
class Decimator {
 public:
  using Real = typename S::value_type;
  // `factor` 2 or more.
  explicit Decimator(std::size_t factor);
  // Appends to `out` the samples whose inputs are all in; the others wait for the next block or finish().
  void push(const S* in, std::size_t n, std::vector<S>& out);
  // The input has ended (the samples after it count as 0): appends the outputs up to its last input.
  void finish(std::vector<S>& out);

 private:
  void produce(std::vector<S>& out, bool atEnd);
  void produceRun(std::size_t j0, std::size_t count, std::vector<S>& out);

  std::size_t factor_;
  long reach_;                 // input samples each side of an output's centre
  Real centreWeight_ = 0;
  std::vector<long> offsets_;  // of the taps after the centre that are not 0 (those before mirror them)
  std::vector<Real> weights_;
  SlidingSamples<S> inputs_{0};
  std::size_t received_ = 0;
  std::size_t next_ = 0;  // the next output, centred on input next_ x factor_
  std::vector<std::vector<S>> phases_;  // the inputs of a run of outputs, dealt into their phases
  std::vector<const Real*> afters_, befores_;  // the stretches of the phases that each tap weighs
};

extern template class Decimator<Complex>;
extern template class Decimator<Sample>;

}  // namespace dot11b::rx
