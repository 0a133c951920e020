// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/verify/transmitter_checks.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "rx/stream/lanes.h"

namespace dot11b::rx {

namespace {

constexpr double kMicrosecond = 1e-6;
constexpr double kCarrierSuppressionCap = 100;  // dB: a carrier this far down reads as this

// Samples in the average of the power envelope: one symbol (1 us).
long averagingWindow(double sampleRate) { return std::max<long>(1, std::lround(sampleRate * kMicrosecond)); }

// Samples the ramps are searched for before the frame's start and after its end: 2 ms.
long rampSpan(double sampleRate) { return std::lround(2e-3 * sampleRate); }

// The power of the capture averaged over one symbol (1 us) around sample m (the window ending at
// m + window / 2; samples outside the capture count as 0), slid a sample at a time: a frame's checks read
// only its own stretch of a capture that may hold thousands, and of the stretch around it only the ramps.
class SlidingPower {
 public:
  SlidingPower(const CaptureSpan& capture, long window, long at) : capture_(capture), window_(window), at_(at) {
    for (long n = last() - window_ + 1; n <= last(); ++n) sum_ += power(n);
  }
  long at() const { return at_; }
  double value() const { return std::max(0.0, sum_) / static_cast<double>(window_); }
  // One sample on (direction 1) or back (-1).
  void move(long direction) {
    if (direction > 0) {
      ++at_;
      sum_ += power(last()) - power(last() - window_);
    } else {
      sum_ += power(last() - window_) - power(last());
      --at_;
    }
  }

 private:
  long last() const { return at_ + window_ / 2; }
  double power(long n) const {
    return n >= static_cast<long>(capture_.first) && n < static_cast<long>(capture_.end()) ? capture_.power(static_cast<std::size_t>(n)) : 0.0;
  }

  const CaptureSpan& capture_;
  long window_, at_;
  double sum_ = 0;
};

// The sums of n samples and of their powers, in double precision: I and Q side by side in a vector
// register, summed sample after sample (the mean is a small difference of large sums).
template <typename T>
CaptureSpan::Sums sumsOf(const std::complex<T>* samples, std::size_t n) {
  const T* x = reinterpret_cast<const T*>(samples);
  Lanes<double> sum{}, squares{};
  const auto add = [&](std::size_t k) {
    const Lanes<double> v = doubleLanesAt(x + 2 * k);
    sum += v;
    squares += v * v;
  };
  // Four samples a turn of the loop, in their order.
  std::size_t k = 0;
  for (; k + 4 <= n; k += 4) {
    add(k);
    add(k + 1);
    add(k + 2);
    add(k + 3);
  }
  for (; k < n; ++k) add(k);
  return {{sum[0], sum[1]}, squares[0] + squares[1]};
}

// The sum of SlidingPower's values from `start` to `end` - 1 times the window: each sample's power counted
// once for every window that holds it, those of the frame's inner samples `window` times, so that the
// frame's power (`framePower`, from `start` to `end` - 1) leaves only its edges to go through one by one.
double summedPower(const CaptureSpan& capture, long window, long start, long end, double framePower) {
  if (end <= start) return 0;
  const long before = window - 1 - window / 2, after = window / 2;  // the window at m: m - before .. m + after
  const auto excess = [&](long n) {
    const long windows = std::max(0L, std::min(n + before, end - 1) - std::max(n - after, start) + 1);
    const long counted = n >= start && n < end ? window : 0;
    const bool held = n >= static_cast<long>(capture.first) && n < static_cast<long>(capture.end());
    return held ? static_cast<double>(windows - counted) * capture.power(static_cast<std::size_t>(n)) : 0.0;
  };
  double summed = static_cast<double>(window) * framePower;
  if (end - start < 2 * window) {
    for (long n = start - before; n < end + after; ++n) summed += excess(n);
    return summed;
  }
  for (long n = start - before; n < start + window; ++n) summed += excess(n);
  for (long n = end - window; n < end + after; ++n) summed += excess(n);
  return summed;
}

// A ramp's time [us] from 10 % to 90 % of `level`. From `power`'s sample, the frame's first or last, the
// search goes outwards to `limit` for the nearest quiet sample (below 10 %), then back in: the ramp begins
// with the first sample at 10 % and ends with the first at 90 %. So the idle before a frame, not a frame
// before it, is where its power-on ramp is looked for; the same for a power-down ramp and the frame after.
// Nothing when the power stays above 10 % up to the limit.
std::optional<double> rampTime(SlidingPower power, double level, long limit, double sampleRate) {
  const long frame = power.at(), outwards = limit < frame ? -1 : 1;
  while (power.value() >= 0.1 * level) {
    if (power.at() == limit) return std::nullopt;
    power.move(outwards);
  }
  std::optional<long> at10;
  while (power.value() < 0.9 * level && power.at() != frame) {
    power.move(-outwards);
    if (!at10 && power.value() >= 0.1 * level) at10 = power.at();
  }
  return static_cast<double>(std::abs(power.at() - at10.value_or(power.at()))) / sampleRate / kMicrosecond;
}

TransmitterCheck check(std::string name, std::string unit, double limit, bool atMost) {
  TransmitterCheck c;
  c.name = std::move(name);
  c.unit = std::move(unit);
  c.limit = limit;
  c.atMost = atMost;
  return c;
}

}  // namespace

CaptureSpan::Sums CaptureSpan::sums(std::size_t from, std::size_t to) const {
  return narrow_ ? sumsOf(narrow_ + (from - first), to - from) : sumsOf(wide_ + (from - first), to - from);
}

std::size_t checkedBeyondFrame(double sampleRate) {
  return static_cast<std::size_t>(rampSpan(sampleRate) + averagingWindow(sampleRate) + 2);
}

std::vector<TransmitterCheck> checkTransmitter(const CaptureSpan& capture, double sampleRate, const ReceivedFrame& frame,
                                               std::optional<double> carrierHz, const MaskResult& mask,
                                               const CaptureSpan::Sums& frameSums) {
  std::vector<TransmitterCheck> checks;

  TransmitterCheck centre = check("centre frequency", "ppm", 25, true);
  if (carrierHz && *carrierHz > 0) {
    centre.value = frame.cfoHz / *carrierHz * 1e6;
  } else {
    centre.why = "the carrier frequency is not known (give --carrier HZ, or a SigMF recording's core:frequency)";
  }
  checks.push_back(centre);

  TransmitterCheck clock = check("chip clock", "ppm", 25, true);
  clock.value = frame.clockPpm;
  checks.push_back(clock);

  // The ramps: the power averaged over a symbol, against its mean over the frame from SYNC to its end.
  const auto start = static_cast<long>(frame.startSample), end = static_cast<long>(frame.endSample);
  const long window = averagingWindow(sampleRate), span = rampSpan(sampleRate);
  const CaptureSpan::Sums sums = end > start ? frameSums : CaptureSpan::Sums{};
  const double samples = static_cast<double>(std::max(1L, end - start));
  const double level = summedPower(capture, window, start, end, sums.power) / static_cast<double>(window) / samples;
  // A tone at the centre: the carrier.
  const Complex mean = sums.samples / samples;
  TransmitterCheck on = check("power-on ramp", "us", 2, true), off = check("power-down ramp", "us", 2, true);
  on.value = rampTime(SlidingPower(capture, window, start), level, std::max(static_cast<long>(capture.first), start - span),
                      sampleRate);
  off.value = rampTime(SlidingPower(capture, window, end - 1), level,
                       std::min(static_cast<long>(capture.end()) - 1, end + span), sampleRate);
  if (!on.value) on.why = "the capture does not hold the frame's start";
  if (!off.value) off.why = "the capture does not hold the frame's end";
  checks.push_back(on);
  checks.push_back(off);

  // The carrier: the frame's mean against the spectrum's peak in 100 kHz.
  TransmitterCheck carrier = check("RF carrier suppression", "dB", 15, false);
  if (mask.peakPowerInResolutionBandwidth > 0) {
    const double carrierPower = std::norm(mean);
    carrier.value = carrierPower > 0 ? std::min(kCarrierSuppressionCap, 10 * std::log10(mask.peakPowerInResolutionBandwidth / carrierPower))
                                     : kCarrierSuppressionCap;
  } else {
    carrier.why = "the frame is too short for its spectrum";
  }
  checks.push_back(carrier);

  TransmitterCheck accuracy = check("modulation accuracy (peak EVM over 1000 chips)", "", 0.35, true);
  accuracy.value = frame.evmPeak;
  checks.push_back(accuracy);
  return checks;
}

}  // namespace dot11b::rx
