// SPDX-License-Identifier: GPL-3.0-or-later
// What a receiver under test sees of a generated waveform: the transmitter's modulator errors, clock and
// carrier offsets, a multipath channel and white noise, applied after the frame is made.
#pragma once

#include <cstdint>
#include <optional>

#include "phy/types.h"

namespace dot11b::channel {

// I/Q imbalance: the modulator's I branch is the reference; its Q branch has the gain g = 10^(iqGainDb / 20)
// and a local oscillator phi = iqSkewDeg off quadrature:
//   I' = I,  Q' = g (Q cos phi + I sin phi).
// A tone x = exp(j w t) leaves it as a x + b conj(x), a = (1 + g exp(j phi)) / 2, b = (1 - g exp(-j phi)) / 2,
// so its image at -w lies below it by the image rejection ratio
//   IRR = |a|^2 / |b|^2 = (1 + 2 g cos phi + g^2) / (1 - 2 g cos phi + g^2).
struct Impairments {
  std::optional<double> snrDb{};       // white Gaussian noise; nothing: none
  double cfoHz = 0, phaseDeg = 0;      // carrier offset and phase
  double clockPpm = 0;                 // sample-clock offset: the samples as made by a clock this fast
  double iqGainDb = 0, iqSkewDeg = 0;  // I/Q imbalance
  Complex dc{0, 0};                    // added after the imbalance
  double multipathRmsNs = 0;           // exponential tapped-delay channel with this RMS delay spread; 0: none
  std::uint64_t seed = 1;              // of the channel's taps and of the noise, each drawn on its own
  bool any() const;                    // anything to do
};

// The SNRs the noise stage takes [dB]: beyond them the frame is lost in the noise, or the noise in the
// rounding of any sample format.
inline constexpr double kLowestSnrDb = -50;
inline constexpr double kHighestSnrDb = 100;

// Throws std::invalid_argument naming the setting (e.g. "--snr 200 dB is outside -50 to 100 dB") for a value
// that is not finite or out of range (snrDb -50 .. 100, |clockPpm| <= 1000, multipath 0 .. 2000 ns,
// |iqGainDb| <= 20, |iqSkewDeg| < 90, |cfoHz| < sampleRate / 2), and for a sample rate outside the
// receiver's range (rx::requireReceivableRate).
void checkImpairments(const Impairments& im, double sampleRate);

// Applies, in this order: I/Q imbalance and DC offset (both the transmitter's modulator), sample-clock
// offset, carrier offset and phase (sample n turned by 2 pi cfoHz n / sampleRate + phase), multipath, noise.
// The output has the input's length: a clock offset's resampled row is cut or padded with zeros. The
// multipath channel is a circular convolution, so that a waveform played in a loop stays seamless.
// `frameMask` (the input's length; 1 where a frame is, 0 in idle time, as the generator's marker 2) gives
// the power reference of the SNR: the mean power of the frame's samples as they reach the noise over the
// noise power in the 11 MHz chip bandwidth; the noise covers the whole waveform, idle included. An empty
// mask, or one without a 1, means every sample. Throws std::invalid_argument as checkImpairments does, and
// for a mask of another length.
// The samples are taken by value: a caller that moves its waveform in has it changed in place, without a copy.
ComplexRow impair(ComplexRow samples, double sampleRate, const Bits& frameMask, const Impairments& im);

// The channel's taps at the sample spacing Ts = 1 / sampleRate, as `impair` draws them for a seed: taps
// k = 0 .. ceil(10 Trms / Ts), each circular complex Gaussian of variance (1 - exp(-Ts / Trms)) exp(-k Ts / Trms).
// An RMS delay spread of 0 gives the single tap 1. Throws std::invalid_argument as checkImpairments does.
ComplexRow multipathTaps(double sampleRate, double rmsNs, std::uint64_t seed);

}  // namespace dot11b::channel
