#include "rx/verify/transmitter_checks.h"

#include <algorithm>
#include <cmath>

namespace dot11b::rx {

namespace {

constexpr double kMicrosecond = 1e-6;
constexpr double kCarrierSuppressionCap = 100;  // dB: a carrier this far down reads as this

// The power of the capture averaged over one symbol (1 us) around each sample.
std::vector<double> powerEnvelope(const ComplexRow& capture, double sampleRate) {
  const auto window = std::max<std::size_t>(1, static_cast<std::size_t>(std::round(sampleRate * kMicrosecond)));
  std::vector<double> envelope(capture.size(), 0.0);
  double sum = 0;
  for (std::size_t n = 0; n < capture.size() + window / 2; ++n) {
    if (n < capture.size()) sum += std::norm(capture[n]);
    if (n >= window) sum -= std::norm(capture[n - window]);
    if (n >= window / 2) envelope[n - window / 2] = std::max(0.0, sum) / static_cast<double>(window);
  }
  return envelope;
}

// Time [us] from the envelope's first reaching 10 % of `level` to its first reaching 90 %, searching
// forwards from `from` to `to` (or backwards when `to` < `from`, for the power-down ramp).
std::optional<double> rampTime(const std::vector<double>& envelope, double level, long from, long to, double sampleRate) {
  const long step = to >= from ? 1 : -1;
  std::optional<long> at10, at90;
  for (long n = from; n != to; n += step) {
    if (n < 0 || n >= static_cast<long>(envelope.size())) break;
    if (!at10 && envelope[static_cast<std::size_t>(n)] >= 0.1 * level) at10 = n;
    if (!at90 && envelope[static_cast<std::size_t>(n)] >= 0.9 * level) at90 = n;
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

std::vector<TransmitterCheck> checkTransmitter(const ComplexRow& capture, double sampleRate, const ReceivedFrame& frame,
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
  const std::vector<double> envelope = powerEnvelope(capture, sampleRate);
  const auto start = static_cast<long>(frame.startSample), end = static_cast<long>(frame.endSample);
  double level = 0;
  for (long n = start; n < end; ++n) level += envelope[static_cast<std::size_t>(n)];
  level /= std::max(1L, end - start);
  const auto span = static_cast<long>(std::round(2e-3 * sampleRate));  // searched around the frame's edges
  const auto margin = static_cast<long>(std::round(20 * kMicrosecond * sampleRate));
  TransmitterCheck on = check("power-on ramp", "us", 2, true), off = check("power-down ramp", "us", 2, true);
  on.value = rampTime(envelope, level, std::max(0L, start - span), start + margin, sampleRate);
  off.value = rampTime(envelope, level, std::min(static_cast<long>(envelope.size()) - 1, end + span), end - margin, sampleRate);
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
