// SPDX-License-Identifier: GPL-3.0-or-later
// The received signal at two samples a chip (22 Msample/s), read at any fractional instant: the symbol
// loops ask for chips at their current timing estimate, which moves by fractions of a sample as the
// transmitter's chip clock drifts against ours.
#pragma once

#include <array>
#include <cstddef>
#include <utility>

#include "phy/types.h"
#include "rx/stream/stream_window.h"

namespace dot11b::rx {

inline constexpr double kChipRate = 11e6;
inline constexpr int kSamplesPerChip = 2;
inline constexpr double kStreamRate = kChipRate * kSamplesPerChip;
// The interpolation at instant t reads the samples from floor(t) - kInterpolationReach + 1 to
// floor(t) + kInterpolationReach.
inline constexpr int kInterpolationReach = 3;

// The 11-chip Barker sequence of the DSSS rates (IEEE 802.11b-1999 18.4.6.3).
inline constexpr std::array<double, 11> kBarker = {1, -1, 1, 1, -1, 1, 1, 1, -1, -1, -1};

// The values ChipStream::signal reads at once, and the samples they span at most.
inline constexpr int kMostValues = 32;
inline constexpr std::size_t kMostTurns = 2 * kMostValues;

// A view of the stream (whose window must outlive it), with a carrier offset taken out as it is read.
class ChipStream {
 public:
  explicit ChipStream(StreamWindow& window) : window_(&window) {}
  // The same samples with a carrier offset [Hz] removed, the phase 0 at sample `origin`.
  ChipStream withoutCarrierOffset(double offsetHz, double origin) const;

  // Whether the stream holds the sample instant t (reading on into the capture as far as needed).
  bool reaches(double t) const { return window_->reaches(t); }
  // Sample k as received (no carrier offset taken out); 0 outside the stream.
  Sample sample(long k) const { return (*window_)[k]; }
  // Samples first .. first + count - 1 as received, in one piece; nullptr when the stream ends before.
  const Sample* stretch(std::size_t first, std::size_t count) const { return window_->stretch(first, count); }
  // The reading has moved past the samples before k for good.
  void releaseBefore(std::size_t k) const { window_->releaseBefore(k); }
  // The signal at t + spacing x k for k = 0 .. count - 1 (a band-limited interpolation between the
  // samples, in the samples' single precision), the carrier's turn from a table of its turns over whole
  // samples rather than computed for each. At most kMostValues values, over at most kMostTurns samples.
  void signal(double t, int count, int spacing, Complex* out) const;
  // Chips 0 .. count - 1 from the chip at t: the signal at t + 2k.
  void chips(double t, int count, Complex* out) const { signal(t, count, kSamplesPerChip, out); }
  // The Barker correlation of the 11 chips from t: sum of Barker(k) x chip k.
  Complex barker(double t) const;
 private:
  StreamWindow* window_;
  double radiansPerSample_ = 0;  // of the carrier offset taken out
  // Its turn over 0, 1, 2 ... samples, each part twice in a row (for a sample's I and Q).
  std::array<float, 2 * kMostTurns> turnsRe_{}, turnsIm_{};
  double origin_ = 0;
};

}  // namespace dot11b::rx
