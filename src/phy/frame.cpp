// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/frame.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <numeric>
#include <stdexcept>
#include <string>

#include "phy/cck.h"
#include "phy/circular_filter.h"
#include "phy/sample_row.h"
#include "phy/dpsk.h"
#include "phy/pbcc.h"
#include "phy/plcp.h"
#include "phy/pulse_shaping.h"
#include "phy/scrambler.h"
#include "runtime/shortest_text.h"

namespace dot11b::phy {

namespace {

constexpr std::size_t headerBitCount = 48;
// Longest waveform the generator builds [samples]: sample indices stay within a 32-bit int.
constexpr double maxSamples = 2147483647.0;

void requireOneOf(const char* name, double value, std::initializer_list<double> allowed) {
  if (std::find(allowed.begin(), allowed.end(), value) == allowed.end()) {
    std::string choices;
    for (double a : allowed) choices += (choices.empty() ? "" : ", ") + rt::shortestText(a);
    throw std::invalid_argument(std::string("Dot11b_FRAME: ") + name + " = " + rt::shortestText(value) + " is not one of " +
                                choices);
  }
}

// A count of samples or taps: a whole number from `minimum` up to the longest waveform.
void requireCount(const char* name, double value, double minimum) {
  if (!(value >= minimum && value <= maxSamples) || value != std::floor(value)) {
    throw std::invalid_argument(std::string("Dot11b_FRAME: ") + name + " = " + rt::shortestText(value) +
                                " is not a whole number in " + rt::shortestText(minimum) + ".." + rt::shortestText(maxSamples));
  }
}

void validate(const FrameSettings& s) {
  requireOneOf("dataRate", s.dataRate, {1, 2, 5.5, 11});
  requireOneOf("highRateMod", s.highRateMod, {0, 1});
  requireOneOf("preambleType", s.preambleType, {0, 1});
  requireOneOf("locked", s.locked, {0, 1});
  requireOneOf("scramblerActive", s.scramblerActive, {0, 1, 2});
  requireOneOf("encoderActive", s.encoderActive, {0, 1});
  requireOneOf("generationMode", s.generationMode, {0, 1});
  requireOneOf("rampType", s.rampType, {0, 1, 2});
  requireOneOf("filterType", s.filterType, {0, 1, 2});
  requireCount("idleSamples", s.idleSamples, 0);
  requireCount("rampLength", s.rampLength, 0);
  const double doubled = 2 * s.oversamplingRate;
  if (!(s.oversamplingRate >= 1 && s.oversamplingRate <= maxSamples) || doubled != std::floor(doubled)) {
    throw std::invalid_argument("Dot11b_FRAME: oversamplingRate = " + rt::shortestText(s.oversamplingRate) +
                                " is not a whole number or a whole number plus one half, at least 1");
  }
  if (s.filterType != 0) requireCount("filterTaps", s.filterTaps, 1);
}

Bits slice(const Bits& bits, std::size_t first, std::size_t count) {
  return Bits(bits.begin() + static_cast<std::ptrdiff_t>(first),
              bits.begin() + static_cast<std::ptrdiff_t>(first + count));
}

void append(ComplexRow& row, const ComplexRow& tail) { row.insert(row.end(), tail.begin(), tail.end()); }

// The PSDU chips from the phase reference `phase`: DBPSK/DQPSK with Barker spreading at 1 and 2 Mbit/s,
// CCK or PBCC at 5.5 and 11 Mbit/s (IEEE 802.11b-1999 18.4.6).
ComplexRow modulatePsdu(const Bits& psdu, const FrameSettings& s, Complex phase) {
  if (psdu.empty()) return {};
  if (s.dataRate == 1) return modulate1Mbps(psdu, phase).chips;
  if (s.dataRate == 2) return modulate2Mbps(psdu, phase).chips;
  if (s.highRateMod == 0) return cck(psdu, s.dataRate, phase);
  return pbcc(psdu, s.dataRate, s.encoderActive, phase);
}

// Preamble, header and PSDU scrambled as one stream and modulated segment by segment, the phase
// reference handed from each segment to the next.
ComplexRow modulateFrame(const Bits& psdu, const FrameSettings& s) {
  const bool framed = s.generationMode == 1;
  Bits stream;
  if (framed) {
    stream = plcpPreamble(s.preambleType);
    const Bits header = plcpHeader(static_cast<double>(psdu.size()), s.dataRate, s.highRateMod, s.locked);
    stream.insert(stream.end(), header.begin(), header.end());
  }
  const std::size_t plcpBits = stream.size();
  stream.insert(stream.end(), psdu.begin(), psdu.end());
  // The seed follows the preamble type also without a preamble.
  stream = dot11bScrambler(s.scramblerActive, s.preambleType, stream);

  Complex phase = Complex(1, 1) / std::numbers::sqrt2;
  ComplexRow chips;
  if (framed) {
    // Preamble at 1 Mbit/s; header at 1 Mbit/s (long) or 2 Mbit/s (short preamble).
    const std::size_t preambleBits = plcpBits - headerBitCount;
    const Modulated preamble = modulate1Mbps(slice(stream, 0, preambleBits), phase);
    const Bits headerBits = slice(stream, preambleBits, headerBitCount);
    const Modulated header = s.preambleType == 0 ? modulate1Mbps(headerBits, preamble.lastPhase)
                                                 : modulate2Mbps(headerBits, preamble.lastPhase);
    chips = preamble.chips;
    append(chips, header.chips);
    phase = header.lastPhase;
  }
  append(chips, modulatePsdu(slice(stream, plcpBits, psdu.size()), s, phase));
  return chips;
}

// Power ramps of adjLength chips before and after the frame: Barker chips scaled by the first and last
// frame chip and shaped by a rising (falling) mask that reaches full power next to the frame.
ComplexRow addRamps(ComplexRow modSignal, std::size_t adjLength, int rampType) {
  if (adjLength == 0) return modSignal;
  const RealRow appendStream = extendVector(barkerSequence(), adjLength);
  const double length = static_cast<double>(adjLength);
  ComplexRow ramped(modSignal.size() + 2 * adjLength);
  for (std::size_t k = 1; k <= adjLength; ++k) {
    const double share = static_cast<double>(k) / length;
    const double mask = rampType == 1 ? share : 0.5 * (1 - std::cos(std::numbers::pi * share));
    ramped[k - 1] = appendStream[k - 1] * modSignal.front() * mask;
    // The falling ramp uses the same Barker chips with the mask reversed.
    const std::size_t fall = adjLength - k;
    ramped[modSignal.size() + adjLength + fall] = appendStream[fall] * modSignal.back() * mask;
  }
  std::copy(modSignal.begin(), modSignal.end(), ramped.begin() + static_cast<std::ptrdiff_t>(adjLength));
  return ramped;
}

// Rectangular chips: each chip held for `factor` samples (not circular, no delay to compensate).
ComplexRow holdChips(const ComplexRow& chips, std::size_t factor, std::size_t capacity) {
  ComplexRow samples = reservedRow(std::max(capacity, chips.size() * factor));
  samples.resize(chips.size() * factor);
  for (std::size_t m = 0; m < chips.size(); ++m) {
    std::fill_n(samples.begin() + static_cast<std::ptrdiff_t>(m * factor), factor, chips[m]);
  }
  return samples;
}

// The shaped row has room for `capacity` samples: the waveform is completed in it.
ComplexRow shapeChips(ComplexRow chips, std::size_t factor, const FrameSettings& s, std::size_t capacity,
                      unsigned threads) {
  if (s.filterType == 0) return holdChips(chips, factor, capacity);
  const auto taps = static_cast<std::size_t>(s.filterTaps);
  const double samplesPerChip = static_cast<double>(factor);
  const RealRow h = s.filterType == 1 ? filterGaussian(taps, s.filterFactor, samplesPerChip)
                                      : filterRootCosine(taps, s.filterFactor, samplesPerChip);
  return circularFilter(chips, factor, h, threads, capacity);
}

// The output samples, made in the shaped row itself: the row less its mean (a complex DC offset), every
// `step`-th sample kept and conjugated when the spectrum is mirrored, followed by idleSamples zeros and a
// zero pad to an even length.
ComplexRow outputSamples(ComplexRow samples, std::size_t step, std::size_t idleSamples, bool mirror) {
  const Complex mean = samples.empty() ? Complex(0, 0)
                                       : std::accumulate(samples.begin(), samples.end(), Complex(0, 0)) /
                                             static_cast<double>(samples.size());
  const std::size_t frameSamples = (samples.size() + step - 1) / step;
  const std::size_t pad = (frameSamples + idleSamples) % 2;
  const auto output = [mean, mirror](Complex x) { return mirror ? std::conj(x - mean) : x - mean; };
  if (step == 1) {
    // Every sample kept, in place: a loop the compiler vectorises.
    std::transform(samples.begin(), samples.end(), samples.begin(), output);
  } else {
    // Sample i moves to i / step, never ahead of where it is read.
    for (std::size_t i = 0, k = 0; i < samples.size(); i += step, ++k) samples[k] = output(samples[i]);
  }
  samples.resize(frameSamples);
  samples.resize(frameSamples + idleSamples + pad, Complex(0, 0));
  return samples;
}

// Marker 1 marks full power (not the first and last rampSamples of the frame), marker 2 the whole frame.
// Both end with zeros over the idle interval and the pad, so they are exactly as long as the waveform.
void fillMarkers(Frame& frame, std::size_t frameSamples, std::size_t rampSamples) {
  const std::size_t total = frame.waveform.size();
  frame.marker1.assign(total, 0);
  frame.marker2.assign(total, 0);
  std::fill_n(frame.marker2.begin(), frameSamples, 1);
  // A ramp setting longer than half the frame leaves no full-power part rather than running past it.
  if (2 * rampSamples < frameSamples) {
    std::fill(frame.marker1.begin() + static_cast<std::ptrdiff_t>(rampSamples),
              frame.marker1.begin() + static_cast<std::ptrdiff_t>(frameSamples - rampSamples), 1);
  }
}

}  // namespace

Frame generateFrame(const Bits& psdu, const FrameSettings& settings, unsigned threads) {
  validate(settings);
  const bool framed = settings.generationMode == 1;
  ComplexRow modSignal = modulateFrame(psdu, settings);

  std::size_t adjLength = 0;
  if (framed && settings.rampType > 0) {
    // Ramp length in chips, from the rate as passed in, halves rounded away from zero.
    adjLength = static_cast<std::size_t>(std::round(settings.rampLength / settings.oversamplingRate));
  }

  // A half-integer rate is generated at twice the rate and every second sample kept.
  const bool halfInteger = settings.oversamplingRate != std::floor(settings.oversamplingRate);
  const auto factor =
      static_cast<std::size_t>(halfInteger ? 2 * settings.oversamplingRate : settings.oversamplingRate);
  const auto idleSamples = framed ? static_cast<std::size_t>(settings.idleSamples) : std::size_t{0};
  // Checked before the ramps are built: a long ramp setting alone could ask for more memory than exists.
  const double rampedChips = static_cast<double>(modSignal.size()) + 2.0 * static_cast<double>(adjLength);
  if (rampedChips * static_cast<double>(factor) + static_cast<double>(idleSamples) > maxSamples) {
    throw std::invalid_argument("Dot11b_FRAME: " + rt::shortestText(rampedChips) + " chips at " +
                                rt::shortestText(settings.oversamplingRate) + " samples per chip and " +
                                std::to_string(idleSamples) + " idle samples exceed " + rt::shortestText(maxSamples) +
                                " samples");
  }

  Frame frame;
  const std::size_t step = halfInteger ? 2 : 1;
  const std::size_t shapedSamples = (modSignal.size() + 2 * adjLength) * factor;
  const std::size_t frameSamples = (shapedSamples + step - 1) / step;
  const std::size_t waveformSamples = frameSamples + idleSamples + (frameSamples + idleSamples) % 2;
  // Each chip row is passed on by value and ends with the statement that uses it last: a long frame
  // never holds its chips twice, nor its chips beside its samples and markers.
  ComplexRow rampedSignal = addRamps(std::move(modSignal), adjLength, settings.rampType);
  ComplexRow shaped =
      shapeChips(std::move(rampedSignal), factor, settings, step == 1 ? waveformSamples : 0, threads);
  frame.waveform = outputSamples(std::move(shaped), step, idleSamples, settings.mirrorSpectrum);
  fillMarkers(frame, frameSamples, static_cast<std::size_t>(settings.rampLength));
  return frame;
}

}  // namespace dot11b::phy
