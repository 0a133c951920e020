// SPDX-License-Identifier: GPL-3.0-or-later
#include "testbench/signal_composer.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

#include "channel/stages.h"
#include "runtime/shortest_text.h"
#include "runtime/value_range.h"
#include "settings/parameter_rules.h"
#include "testbench/frame_description.h"
#include "testbench/frame_resampling.h"

namespace dot11b::testbench {

namespace {

constexpr double kChipRate = 11e6;
constexpr double kHalfChannel = 11e6;  // a DSSS signal's main lobe each side of its carrier [Hz]
// PN9 repeats every 511 bits, and 8 x n bits is a whole number of periods only for n a multiple of 511:
// an interferer's payload starts 1 to 510 octets into the sequence, never where the wanted one does.
constexpr std::uint64_t kPayloadStarts = 510;

// A well-mixed number of the seed and the draw's name (splitmix64), the same on every platform.
std::uint64_t draw(std::uint64_t seed, std::uint64_t name) {
  std::uint64_t z = seed + 0x9E3779B97F4A7C15ULL * (name + 1);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

std::string interfererName(std::size_t k) { return "interferer " + std::to_string(k + 1); }

void requireLevel(const std::string& name, double db) {
  rt::requireInRange(name, db, -kMaxRelativeLevelDb, kMaxRelativeLevelDb, "dB");
}

// The lowest multiple of 11 MHz whose used band reaches `reach` [Hz] off the carrier.
double lowestRateFor(double reach) {
  return kChipRate * std::ceil(reach / (kUsedBandShare / 2) / kChipRate - 1e-9);
}

phy::Frame atRate(phy::Frame frame, double fromRate, double toRate) {
  return fromRate == toRate ? frame : resampledFrame(frame, fromRate, toRate);
}

}  // namespace

phy::Frame calculateSignal(const SignalSettings& signal, std::vector<Bits>* psdus) {
  phy::Frame frame = calculateSequence(signal.parameters, signal.sequence, psdus);
  if (signal.impairments.any())
    frame.waveform = channel::impair(std::move(frame.waveform), signal.sampleRate(), frame.marker2, signal.impairments);
  return frame;
}

double compositeRate(const CompositionSettings& s) {
  struct Reach {
    std::string name;
    double hz;
  };
  std::vector<Reach> reaches{{"the wanted signal", kHalfChannel}};
  for (std::size_t k = 0; k < s.interferers.size(); ++k) {
    const Interferer& it = s.interferers[k];
    requireLevel(interfererName(k) + ": level", it.levelDb);
    if (!std::isfinite(it.offsetHz)) throw std::invalid_argument(interfererName(k) + ": the offset is not finite");
    if (it.startSeconds && !(*it.startSeconds >= 0 && std::isfinite(*it.startSeconds)))
      throw std::invalid_argument(interfererName(k) + ": the start must be a time from 0 s on");
    reaches.push_back({interfererName(k) + " at " + rt::shortestText(it.offsetHz / 1e6) + " MHz",
                       std::abs(it.offsetHz) + kHalfChannel});
  }
  if (s.tone) {
    requireLevel("the tone's level", s.tone->levelDb);
    if (!std::isfinite(s.tone->offsetHz)) throw std::invalid_argument("the tone's offset is not finite");
    reaches.push_back({"the tone at " + rt::shortestText(s.tone->offsetHz / 1e6) + " MHz", std::abs(s.tone->offsetHz)});
  }
  if (s.noiseDb) rt::requireInRange("the noise level", *s.noiseDb, -channel::kHighestSnrDb, -channel::kLowestSnrDb, "dB");
  const Reach* widest = &reaches.front();
  for (const Reach& r : reaches)
    if (r.hz > widest->hz) widest = &r;
  const double needed = lowestRateFor(widest->hz);
  const double highest = kChipRate * std::floor(kHighestCompositeRate / kChipRate);
  if (s.sampleRate) {
    if (*s.sampleRate * kUsedBandShare / 2 < widest->hz)
      throw std::invalid_argument("a sample rate of " + rt::shortestText(*s.sampleRate / 1e6) + " MHz does not hold " +
                                  widest->name + " within 80 % of its band; " + rt::shortestText(needed / 1e6) +
                                  " MHz does");
    return *s.sampleRate;
  }
  if (needed > kHighestCompositeRate)
    throw std::invalid_argument(widest->name + " needs a sample rate of " + rt::shortestText(needed / 1e6) +
                                " MHz, above the highest, " + rt::shortestText(kHighestCompositeRate / 1e6) +
                                " MHz: offsets up to " + rt::shortestText((highest * kUsedBandShare / 2 - kHalfChannel) / 1e6) +
                                " MHz fit (" + rt::shortestText(highest / 1e6) + " MHz, the highest multiple of 11 MHz)");
  return std::max(needed, s.wanted.sampleRate());
}

Composite compose(const CompositionSettings& s) {
  const double rate = compositeRate(s);
  const double wantedRate = s.wanted.sampleRate();
  const double projected = sequenceLength(s.wanted.parameters, s.wanted.sequence.frames) * rate / wantedRate;
  if (projected > kMaxSequenceSamples)
    throw settings::ParameterError("the composite at " + rt::shortestText(rate / 1e6) + " MHz would hold about " +
                                   rt::shortestText(std::round(projected)) + " samples, more than the " +
                                   rt::shortestText(kMaxSequenceSamples) + " (32 Msamples) a waveform may hold");
  Composite c;
  c.sampleRate = rate;
  c.frame = atRate(calculateSignal(s.wanted, &c.wantedPsdus), wantedRate, rate);
  ComplexRow& sum = c.frame.waveform;
  if (sum.size() > kMaxSequenceSamples)
    throw settings::ParameterError("the composite holds " + std::to_string(sum.size()) + " samples, more than the " +
                                   rt::shortestText(kMaxSequenceSamples) + " (32 Msamples) a waveform may hold");
  c.wantedPower = channel::meanFramePower(sum, c.frame.marker2);
  if (s.noiseDb) channel::addNoise(sum, rate, c.frame.marker2, -*s.noiseDb, s.seed);

  for (std::size_t k = 0; k < s.interferers.size(); ++k) {
    const Interferer& it = s.interferers[k];
    SignalSettings signal = it.signal;
    signal.sequence.payloadStartOctet = 1 + draw(s.seed, 2 * k) % kPayloadStarts;
    std::vector<Bits> psdus;
    phy::Frame made;
    try {
      if (sequenceLength(signal.parameters, signal.sequence.frames) * rate / signal.sampleRate() > kMaxSequenceSamples)
        throw settings::ParameterError("its frames at " + rt::shortestText(rate / 1e6) + " MHz would hold more than " +
                                       rt::shortestText(kMaxSequenceSamples) + " samples");
      made = atRate(calculateSignal(signal, &psdus), signal.sampleRate(), rate);
    } catch (const settings::ParameterError& e) {
      throw settings::ParameterError(interfererName(k) + ": " + e.what());
    } catch (const std::invalid_argument& e) {
      throw std::invalid_argument(interfererName(k) + ": " + e.what());
    }
    ComplexRow& row = made.waveform;
    const double power = channel::meanFramePower(row, made.marker2);
    const double gain = power > 0 ? std::sqrt(c.wantedPower * std::pow(10, it.levelDb / 10) / power) : 0;
    channel::rotate(row, it.offsetHz / rate, 0);
    const std::size_t length = row.size();
    const std::size_t span = std::max<std::size_t>(sum.size(), 1);
    const std::size_t start =
        it.startSeconds
            ? static_cast<std::size_t>(std::fmod(std::round(*it.startSeconds * rate), static_cast<double>(span)))
            : static_cast<std::size_t>(draw(s.seed, 2 * k + 1) % span);
    // Its sample j lies at start + j, repeated every `length` samples across the whole composite: added a
    // stretch of contiguous samples at a time.
    std::size_t j = length == 0 ? 0 : (length - start % length) % length;
    for (std::size_t n = 0; n < sum.size() && length > 0; j = 0) {
      const std::size_t stretch = std::min(length - j, sum.size() - n);
      Complex* to = sum.data() + n;
      const Complex* from = row.data() + j;
      for (std::size_t i = 0; i < stretch; ++i) to[i] += gain * from[i];
      n += stretch;
    }
    c.interfererPsdus.push_back(std::move(psdus));
    c.interfererStarts.push_back(start);
  }
  if (s.tone) {
    const double amplitude = std::sqrt(c.wantedPower * std::pow(10, s.tone->levelDb / 10));
    const double step = 2 * std::numbers::pi * s.tone->offsetHz / rate;
    for (std::size_t n = 0; n < sum.size(); ++n) sum[n] += std::polar(amplitude, step * static_cast<double>(n));
  }
  c.meanPower = channel::meanFramePower(sum, {});
  return c;
}

double instrumentLevelDbm(const Composite& c, double wantedLevelDbm) {
  return wantedLevelDbm + 10 * std::log10(c.meanPower / c.wantedPower);
}

std::string signalName(const SignalSettings& signal) {
  const rt::Value& p = signal.parameters;
  return rateAndModulation(p) + ", " + rt::shortestText(p.field("totalLength").scalarValue()) + "-octet PSDU" +
         (signal.sequence.frames > 1 ? ", " + std::to_string(signal.sequence.frames) + " frames" : "");
}

}  // namespace dot11b::testbench
