// SPDX-License-Identifier: GPL-3.0-or-later
// The received signal at four samples a chip (44 Msample/s), read at any fractional instant: the symbol
// loops ask for chips at their current timing estimate, which moves by fractions of a sample as the
// transmitter's chip clock drifts against ours.
#pragma once

#include <array>
#include <cstddef>
#include <utility>

#include "phy/types.h"
#include "rx/stream_window.h"

namespace dot11b::rx {

inline constexpr double kChipRate = 11e6;
inline constexpr int kSamplesPerChip = 4;
inline constexpr double kStreamRate = kChipRate * kSamplesPerChip;

// The 11-chip Barker sequence of the DSSS rates (IEEE 802.11b-1999 18.4.6.3).
inline constexpr std::array<double, 11> kBarker = {1, -1, 1, 1, -1, 1, 1, 1, -1, -1, -1};

// A view of the stream (whose window must outlive it), with a carrier offset taken out as it is read.
class ChipStream {
 public:
  explicit ChipStream(StreamWindow& window) : window_(&window) {}
  // The same samples with a carrier offset [Hz] removed, the phase 0 at sample `origin`.
  ChipStream withoutCarrierOffset(double offsetHz, double origin) const;

  // Whether the stream holds the sample instant t (reading on into the capture as far as needed).
  bool reaches(double t) const { return window_->reaches(t); }
  // Sample k as received (no carrier offset taken out); 0 outside the stream.
  Complex sample(long k) const { return (*window_)[k]; }
  // Samples first .. first + count - 1 as received, in one piece; nullptr when the stream ends before.
  const Complex* stretch(std::size_t first, std::size_t count) const { return window_->stretch(first, count); }
  // The reading has moved past the samples before k for good.
  void releaseBefore(std::size_t k) const { window_->releaseBefore(k); }
  // Chips 0 .. count - 1 from the chip at t: the signal at t + 4k, the carrier's turn stepped from chip to
  // chip rather than computed for each.
  void chips(double t, int count, Complex* out) const;
  // The Barker correlation of the 11 chips from t: sum of Barker(k) x chip k.
  Complex barker(double t) const;
 private:
  // The received signal at sample instant t (cubic interpolation between samples; 0 outside the stream).
  Complex interpolated(double t) const;

  StreamWindow* window_;
  double radiansPerSample_ = 0;  // of the carrier offset taken out
  double origin_ = 0;
};

}  // namespace dot11b::rx
