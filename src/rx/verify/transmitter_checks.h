// SPDX-License-Identifier: GPL-3.0-or-later
// The transmitter requirements of IEEE 802.11b-1999 18.4.7 that a capture of one frame can show, each
// with its limit and a verdict: centre frequency and chip clock (18.4.7.4, 18.4.7.5: +-25 ppm), power-on
// and power-down ramps (18.4.7.6: 10 % to 90 % of the power within 2 us), RF carrier suppression
// (18.4.7.7: 15 dB) and modulation accuracy (18.4.7.8: peak EVM over 1000 chips at most 0.35).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "phy/types.h"
#include "rx/receiver.h"
#include "rx/stream/sample.h"
#include "rx/verify/spectrum_mask.h"

namespace dot11b::rx {

struct TransmitterCheck {
  std::string name;        // "centre frequency", "chip clock", "power-on ramp", ...
  std::string unit;        // "ppm", "us", "dB", ""
  double limit = 0;        // the requirement's limit, in `unit`
  bool atMost = true;      // the value must not exceed the limit (else: must reach it)
  std::optional<double> value;  // nothing when it could not be measured
  std::string why;         // why it was not measured
  bool passed() const { return value && (atMost ? std::abs(*value) <= limit : *value >= limit); }
};

// Samples first .. first + size - 1 of a capture, which may go on beyond them: a view of samples in double
// precision or in the receiver's (which the row must outlive).
class CaptureSpan {
 public:
  CaptureSpan(const ComplexRow& samples, std::size_t from) : first(from), wide_(samples.data()), size_(samples.size()) {}
  CaptureSpan(const SampleRow& samples, std::size_t from) : first(from), narrow_(samples.data()), size_(samples.size()) {}
  std::size_t end() const { return first + size_; }
  // |sample n|^2.
  double power(std::size_t n) const {
    if (narrow_) return std::norm(narrow_[n - first]);
    return std::norm(wide_[n - first]);
  }
  // The sums over samples from .. to - 1 (which the view holds) of the samples and of their powers.
  struct Sums {
    Complex samples{0, 0};
    double power = 0;
  };
  Sums sums(std::size_t from, std::size_t to) const;
  // Capture samples n .. end() - 1 in the receiver's precision, when the view holds them so.
  const Sample* narrowFrom(std::size_t n) const { return narrow_ ? narrow_ + (n - first) : nullptr; }

  std::size_t first = 0;

 private:
  const Complex* wide_ = nullptr;
  const Sample* narrow_ = nullptr;
  std::size_t size_ = 0;
};

// Capture samples the checks of a frame read beyond its ends, at `sampleRate`: the ramps are searched 2 ms
// either side, over a power averaged across 1 us.
std::size_t checkedBeyondFrame(double sampleRate);

// The checks of `frame`, one of the frames received from a capture at `sampleRate`. `capture` holds the
// capture's samples from checkedBeyondFrame() before the frame's start to as far after its end (or to the
// capture's ends). `carrierHz` is the capture's centre frequency, when known; `mask` the frame's spectrum;
// `frameSums` the sums over the frame's samples (from its startSample to its endSample), which the caller
// takes for the frame's level too.
std::vector<TransmitterCheck> checkTransmitter(const CaptureSpan& capture, double sampleRate, const ReceivedFrame& frame,
                                               std::optional<double> carrierHz, const MaskResult& mask,
                                               const CaptureSpan::Sums& frameSums);

}  // namespace dot11b::rx
