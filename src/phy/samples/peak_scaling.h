// SPDX-License-Identifier: GPL-3.0-or-later
// Bringing a waveform into a sample format of fixed full scale (the 8- and 16-bit integers of SDR files
// and radios, or a radio's floats) with its peak a chosen number of dB below that full scale. Integer
// formats have no headroom: what the scaling puts beyond full scale is clipped, never wrapped round.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "phy/types.h"

namespace dot11b::phy {

struct PeakScaling {
  double gain = 1;                 // multiplies every I and Q value
  std::size_t clippedSamples = 0;  // samples whose I or Q then lies beyond full scale
};

// The gain that puts the waveform's peak (the largest |I| or |Q|) backoffDb below fullScale, and the number
// of samples that clip at that gain: none unless backoffDb is below 0. A waveform of zeros keeps gain 1.
// Throws std::invalid_argument for a sample or a backoff that is not finite, or a full scale not above 0.
PeakScaling scalePeak(std::span<const Complex> samples, double fullScale, double backoffDb);

// The fewest bits a scaled waveform may keep of an integer format: its peak at least 2^(6 - 1) = 32 steps,
// 64 levels from end to end. Fewer leave a few levels of a frame rather than the frame.
inline constexpr int kFewestBits = 6;

// The largest backoff [dB] that keeps kFewestBits: the peak at 32 of the format's `largestInteger` steps
// (127 for 8-bit samples, 32767 for 16-bit ones, 2047 for a 12-bit converter): 12 dB for cs8.
double largestBackoffDb(double largestInteger);

// The lowest backoff a file's integers take [dB]: the peak clipped by 20 dB.
inline constexpr double kLowestBackoffDb = -20;
// Throws rt::OutOfRange (a std::invalid_argument) naming `name` and the range, kLowestBackoffDb to
// largestBackoffDb(largestInteger), unless the backoff lies in it.
void requireBackoff(std::string_view name, double backoffDb, double largestInteger);

// The largest |I| or |Q| of the samples: what an integer format clips.
double peakComponent(std::span<const Complex> samples);

}  // namespace dot11b::phy
