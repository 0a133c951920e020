// SPDX-License-Identifier: GPL-3.0-or-later
// The composer: a wanted frame sequence with interferers (other frame sequences, each with its own data
// and timing), a continuous-wave tone and white noise, each at a frequency offset from the wanted signal
// and a level relative to it, summed into one waveform for a signal generator to play to a receiver under
// test. Levels are mean powers over each signal's frames, idle excluded; the markers are the wanted
// signal's alone.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "channel/impairments.h"
#include "phy/frame.h"
#include "runtime/value.h"
#include "testbench/frame_sequence.h"

namespace dot11b::testbench {

// One frame sequence with its channel: what 'dot11b generate' makes of its options.
struct SignalSettings {
  SequenceSettings sequence;
  channel::Impairments impairments;
  rt::Value parameters;

  double sampleRate() const { return 11e6 * parameters.field("OverSampling").scalarValue(); }
};

// The frames one after another, with the impairments applied; `psdus`, when given, gets each frame's PSDU.
phy::Frame calculateSignal(const SignalSettings& signal, std::vector<Bits>* psdus = nullptr);

struct Interferer {
  SignalSettings signal;
  double offsetHz = 0;  // of its carrier from the wanted signal's
  double levelDb = 0;   // its mean power over its frames over the wanted signal's
  // Where its first sample lies in the composite [s]; nothing: drawn from the composition's seed. It
  // repeats (or is cut) to the wanted signal's length.
  std::optional<double> startSeconds;
};

struct Tone {
  double offsetHz = 0, levelDb = 0;  // as an interferer's
};

struct CompositionSettings {
  SignalSettings wanted;
  std::vector<Interferer> interferers;
  std::optional<Tone> tone;
  // White Gaussian noise: its power in the 11 MHz chip bandwidth over the wanted signal's mean power [dB],
  // -100 to 50.
  std::optional<double> noiseDb;
  std::optional<double> sampleRate;  // [Hz]; nothing: compositeRate's choice
  std::uint64_t seed = 1;            // of the interferers' starts and data and of the noise
};

// The most a level, the tone's or the noise's may lie from the wanted signal's [dB].
inline constexpr double kMaxRelativeLevelDb = 80;
// The highest composite rate [Hz], and the share of its band the signals must lie in.
inline constexpr double kHighestCompositeRate = 200e6;
inline constexpr double kUsedBandShare = 0.8;

struct Composite {
  phy::Frame frame;         // the summed samples and the wanted signal's markers
  double sampleRate = 0;    // [Hz]
  double wantedPower = 0;   // mean power of the wanted samples over their frames
  double meanPower = 0;     // mean power of the composite over all its samples
  std::vector<Bits> wantedPsdus;
  std::vector<std::vector<Bits>> interfererPsdus;  // of each interferer, its frames
  std::vector<std::size_t> interfererStarts;       // the sample where each interferer's first sample lies
};

// The composite's sample rate: the given one, or the lowest multiple of 11 MHz, not below the wanted
// signal's own rate, that holds every signal (its carrier +-11 MHz) and the tone within kUsedBandShare of
// the band. Throws std::invalid_argument when a given rate does not hold them, or no rate up to
// kHighestCompositeRate does, naming the signal; and for a level or offset out of range.
double compositeRate(const CompositionSettings& settings);

// The composite. Throws as compositeRate does, as calculateSequence does for a signal's settings (prefixed
// with "interferer N: " for an interferer's), and settings::ParameterError when the composite would hold
// more than kMaxSequenceSamples.
Composite compose(const CompositionSettings& settings);

// The output level to set on a signal generator [dBm], whose level is the waveform's mean power over all
// its samples, so that the wanted signal's mean power over its frames is `wantedLevelDbm`.
double instrumentLevelDbm(const Composite& composite, double wantedLevelDbm);

// The one-line name of a signal: its rate, modulation and PSDU length.
std::string signalName(const SignalSettings& signal);

}  // namespace dot11b::testbench
