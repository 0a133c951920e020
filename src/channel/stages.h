// SPDX-License-Identifier: GPL-3.0-or-later
// The stages `impair` chains, each on a whole row, in place but for the resampling of the clock offset.
#pragma once

#include <cstddef>
#include <cstdint>

#include "channel/random_draws.h"
#include "phy/types.h"

namespace dot11b::channel {

// a b without the checks for infinities of the std::complex product, which keep a loop from vectorising.
inline Complex product(Complex a, Complex b) {
  return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

// The I/Q imbalance of impairments.h, then `dc` added.
void applyModulatorErrors(ComplexRow& row, double iqGainDb, double iqSkewDeg, Complex dc);

// The row as made by a sample clock `ppm` fast and taken at `sampleRate`, cut or zero-padded to its length.
ComplexRow offsetClock(const ComplexRow& row, double sampleRate, double ppm);

// Sample n turned by 2 pi cyclesPerSample n plus phaseDeg degrees.
void rotate(ComplexRow& row, double cyclesPerSample, double phaseDeg);

// row[n] replaced by sum_k taps[k] row[(n - k) mod N].
void convolveCircularly(ComplexRow& row, const ComplexRow& taps);

// The mean power of the samples where frameMask (as long as row) is 1; of every sample when it is empty
// or nowhere 1.
double meanFramePower(const ComplexRow& row, const Bits& frameMask);

// White Gaussian noise whose power in the 11 MHz chip bandwidth lies snrDb below the mean power of the
// masked samples.
void addNoise(ComplexRow& row, double sampleRate, const Bits& frameMask, double snrDb, std::uint64_t seed);

// The noise addNoise adds, a block at a time: for a caller that takes one clean waveform through many
// SNRs, which measures its power once (meanFramePower) and has the noise added as the samples are read.
// Blocks of n1, n2, ... samples in turn get the numbers the whole row of n1 + n2 + ... samples would.
class NoiseStream {
 public:
  NoiseStream(double framePower, double sampleRate, double snrDb, std::uint64_t seed);
  // Sets to[k] = from[k] + the noise of the next n samples; `from` may be `to`.
  void addTo(const Complex* from, Complex* to, std::size_t n) { draws_.addTo(from, to, n, variance_); }

 private:
  double variance_;
  GaussianDraws draws_;
};

}  // namespace dot11b::channel
