// SPDX-License-Identifier: GPL-3.0-or-later
// The stages `impair` chains, each on a whole row, in place but for the resampling of the clock offset.
#pragma once

#include <cstdint>

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

// `noisy` (its storage reused) set to what addNoise makes of a copy of `clean`, bit for bit, given the
// copy's meanFramePower: for a caller that takes one clean waveform through many SNRs, which measures its
// power once and has the noise added as the samples are copied, in one pass.
void addNoise(const ComplexRow& clean, double framePower, double sampleRate, double snrDb, std::uint64_t seed,
              ComplexRow& noisy);

}  // namespace dot11b::channel
