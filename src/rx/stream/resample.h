// SPDX-License-Identifier: GPL-3.0-or-later
// Band-limited resampling of complex baseband samples to another rate: a Kaiser-windowed sinc
// interpolator, for captures whose rate is not 4 x 11 MHz (20 or 25 Msample/s from an SDR, or a
// frame at any oversampling rate).
#pragma once

#include <climits>
#include <cstddef>
#include <vector>

#include "phy/types.h"
#include "rx/stream/sample.h"
#include "rx/stream/sliding_samples.h"

namespace dot11b::rx {

// The kernel h(x) = 2 fc sinc(2 fc x) w(x / halfWidth), w a Kaiser window of the given beta, at
// x = i / steps for i = 0 .. halfWidth x steps + 1 (the last entries 0): fc, the cut-off, in cycles a sample.
std::vector<double> windowedSinc(double cutoff, double halfWidth, double beta, int steps);

// The weights of one output instant on the inputs first .. first + weights.size() - 1.
template <typename Real = double>
struct ResamplerTaps {
  long first = 0;
  std::vector<Real> weights;
};

// The same, block by block: the blocks give exactly the samples the whole capture gives at once. `S`: the
// sample type (double precision, or the receiver's).
template <typename S = Complex>
class Resampler {
 public:
  using Real = typename S::value_type;
  // `halfTaps`: input samples each side of an output instant (at unit ratio; more when decimating): 16
  // keep the band flat nearly to its edge. Throws std::invalid_argument for a rate that is not finite and
  // positive.
  Resampler(double fromRate, double toRate, int halfTaps = 16);
  // Appends to `out` the samples whose inputs are all in; the others wait for the next block or finish().
  void push(const S* in, std::size_t n, std::vector<S>& out);
  // The capture has ended: appends the samples up to its last input.
  void finish(std::vector<S>& out);

 private:
  void produce(std::vector<S>& out, bool atEnd);
  void produceRounds(long rounds, std::vector<S>& out);

  bool passThrough_ = false;
  double step_ = 1;       // input samples per output sample
  double halfWidth_ = 0;  // input samples each side of an output instant
  std::vector<double> table_;
  long period_ = 0, advance_ = 0;
  long phase_ = 0, phaseOffset_ = 0;  // of output next_: next_ mod period_, and (next_ div period_) x advance_
  long phasesFirst_ = LONG_MAX, phasesLast_ = LONG_MIN;  // the first and last input any phase takes
  std::vector<ResamplerTaps<Real>> phases_;  // of each output phase, with a rational ratio
  SlidingSamples<S> inputs_{0};  // those that later outputs still take
  long received_ = 0;
  std::vector<std::vector<S>> dealt_;  // the inputs of rounds of outputs, dealt into phases
  std::vector<const Real*> stretches_;  // of the dealt inputs, one for each of a phase's taps
  std::size_t next_ = 0;  // the index of the next output
};

extern template class Resampler<Complex>;
extern template class Resampler<Sample>;

// The samples as taken at `toRate` [Hz] from a signal sampled at `fromRate`. When decimating, the band is
// cut to 90 % of the new rate's Nyquist band first. Throws std::invalid_argument for a rate that is not
// finite and positive.
ComplexRow resample(const ComplexRow& in, double fromRate, double toRate);

}  // namespace dot11b::rx
