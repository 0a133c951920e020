// SPDX-License-Identifier: GPL-3.0-or-later
// The transmit spectrum mask of IEEE 802.11b-1999 18.4.7.3: the power spectral density of a frame,
// measured with a 100 kHz resolution bandwidth, relative to the peak of its sin(x)/x main lobe, at most
// -30 dBr from 11 to 22 MHz off the carrier and -50 dBr beyond 22 MHz.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "phy/types.h"
#include "rx/stream/sample.h"

namespace dot11b::rx {

struct MaskPoint {
  double frequency;  // off the carrier [Hz]
  double dbr;        // relative to the spectrum's peak [dB]
  std::optional<double> limit;  // [dBr]; nothing inside the main lobe (|f| < 11 MHz)
};

struct MaskRegion {
  double limitDbr = 0;
  bool measured = false;        // false when the region lies wholly beyond half the sample rate
  bool partly = false;          // true when only part of it lies within half the sample rate
  double worstDbr = 0;          // the highest level found in it
  double margin = 0;            // limit - worst: negative fails
};

struct MaskResult {
  std::vector<MaskPoint> points;
  MaskRegion inner{.limitDbr = -30};  // 11 .. 22 MHz off the carrier
  MaskRegion outer{.limitDbr = -50};  // beyond 22 MHz
  double resolutionBandwidth = 0;  // [Hz]
  double peakPowerInResolutionBandwidth = 0;  // the spectrum's peak, as the power within 100 kHz
  bool passed() const { return inner.measured && inner.margin >= 0 && (!outer.measured || outer.margin >= 0); }
};

// The power spectral density of `samples` at `sampleRate`, averaged over Hann-windowed segments whose
// noise bandwidth is `resolutionBandwidth`, half overlapping; frequencies from -fs/2 to fs/2.
std::vector<MaskPoint> powerSpectrum(const ComplexRow& samples, double sampleRate, double resolutionBandwidth);

// The mask of a frame's samples (ramps and idle left out by the caller).
MaskResult measureMask(const ComplexRow& frame, double sampleRate);
// The same for n samples in the receiver's precision, read where they are.
MaskResult measureMask(const Sample* frame, std::size_t n, double sampleRate);
// Of the same, the spectrum's peak alone (peakPowerInResolutionBandwidth, which the carrier suppression is
// measured against; in both, the highest of bins twice as close as the table's at least): no points, the
// regions not measured.
MaskResult measurePeak(const Sample* frame, std::size_t n, double sampleRate);

}  // namespace dot11b::rx
