// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/verify/transmitter_checks.h"

#include <algorithm>
#include <cmath>

namespace dot11b::rx {

namespace {

constexpr double kMicrosecond = 1e-6;
constexpr double kCarrierSuppressionCap = 100;  // dB: a carrier this far down reads as this

// Samples in the average of the power envelope: one symbol (1 us).
long averagingWindow(double sampleRate) { return std::max<long>(1, std::lround(sampleRate * kMicrosecond)); }

// Samples the ramps are searched for before the frame's start and after its end: 2 ms.
long rampSpan(double sampleRate) { return std::lround(2e-3 * sampleRate); }

// The power of the capture averaged over one symbol (1 us) around each sample, for the samples `first` to
// `last` - 1 only: a frame's checks look at its own stretch of a capture that may hold thousands.
class PowerEnvelope {
 public:
  PowerEnvelope(const CaptureSpan& capture, double sampleRate, long first, long last)
      : first_(std::max(0L, first)), values_(static_cast<std::size_t>(std::max(0L, std::min<long>(last, static_cast<long>(capture.end())) - first_))) {
    const long window = averagingWindow(sampleRate);
    const auto size = static_cast<long>(capture.end());
    // One sliding sum: the average at sample m is that of the window ending at m + window / 2, begun a
    // window early so that every value is the one the whole capture would give.
    double sum = 0;
    const long from = std::max(0L, first_ - window), to = std::min(size + window / 2, first_ + static_cast<long>(values_.size()) + window / 2);
    for (long n = from; n < to; ++n) {
      if (n < size) sum += std::norm(capture[static_cast<std::size_t>(n)]);
      if (n - window >= from) sum -= std::norm(capture[static_cast<std::size_t>(n - window)]);
      const long at = n - window / 2;
      if (at >= first_ && at < first_ + static_cast<long>(values_.size()))
        values_[static_cast<std::size_t>(at - first_)] = std::max(0.0, sum) / static_cast<double>(window);
    }
  }
  bool holds(long n) const { return n >= first_ && n < first_ + static_cast<long>(values_.size()); }
  double operator[](long n) const { return values_[static_cast<std::size_t>(n - first_)]; }

 private:
  long first_;
  std::vector<double> values_;
};

// Time [us] from the envelope's first reaching 10 % of `level` to its first reaching 90 %, searching
// forwards from `from` to `to` (or backwards when `to` < `from`, for the power-down ramp).
std::optional<double> rampTime(const PowerEnvelope& envelope, double level, long from, long to, double sampleRate) {
  const long step = to >= from ? 1 : -1;
  std::optional<long> at10, at90;
  for (long n = from; n != to; n += step) {
    if (!envelope.holds(n)) break;
    if (!at10 && envelope[n] >= 0.1 * level) at10 = n;
    if (!at90 && envelope[n] >= 0.9 * level) at90 = n;
    if (at90) break;
  }
  if (!at10 || !at90) return std::nullopt;
  return static_cast<double>(std::abs(*at90 - *at10)) / sampleRate / kMicrosecond;
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

std::size_t checkedBeyondFrame(double sampleRate) {
  return static_cast<std::size_t>(rampSpan(sampleRate) + averagingWindow(sampleRate) + 2);
}

std::vector<TransmitterCheck> checkTransmitter(const CaptureSpan& capture, double sampleRate, const ReceivedFrame& frame,
                                               std::optional<double> carrierHz, const MaskResult& mask) {
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
  const long span = rampSpan(sampleRate);
  const auto margin = static_cast<long>(std::round(20 * kMicrosecond * sampleRate));
  const PowerEnvelope envelope(capture, sampleRate, start - span, end + span + 1);
  double level = 0;
  for (long n = start; n < end; ++n) level += envelope[n];
  level /= std::max(1L, end - start);
  TransmitterCheck on = check("power-on ramp", "us", 2, true), off = check("power-down ramp", "us", 2, true);
  on.value = rampTime(envelope, level, std::max(0L, start - span), start + margin, sampleRate);
  off.value = rampTime(envelope, level, std::min(static_cast<long>(capture.end()) - 1, end + span), end - margin, sampleRate);
  if (!on.value) on.why = "the capture does not hold the frame's start";
  if (!off.value) off.why = "the capture does not hold the frame's end";
  checks.push_back(on);
  checks.push_back(off);

  // The carrier: the frame's mean (a tone at the centre) against the spectrum's peak in 100 kHz.
  TransmitterCheck carrier = check("RF carrier suppression", "dB", 15, false);
  Complex mean(0, 0);
  for (long n = start; n < end; ++n) mean += capture[static_cast<std::size_t>(n)];
  mean /= static_cast<double>(std::max(1L, end - start));
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
