// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/verify/verification.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "rx/stream/front_end.h"
#include "rx/stream/sample_source.h"
#include "rx/stream/sliding_samples.h"
#include "rx/verify/mac_fields.h"

namespace dot11b::rx {

namespace {

std::string fixed(double value, int digits) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", digits, value);
  // A value that rounds to zero is shown as 0, not -0.0.
  if (std::strtod(text, nullptr) == 0) std::snprintf(text, sizeof text, "%.*f", digits, 0.0);
  return text;
}

void printChecks(std::ostream& out, const std::vector<TransmitterCheck>& checks) {
  for (const TransmitterCheck& c : checks) {
    out << "  " << c.name << ": ";
    const std::string unit = c.unit.empty() ? "" : " " + c.unit;
    const std::string limit = std::string(c.atMost ? "at most " : "at least ") + (c.atMost && c.unit == "ppm" ? "+-" : "") +
                              fixed(c.limit, c.unit.empty() ? 2 : 0) + unit;
    if (!c.value) {
      out << "not measured, " << c.why << " (limit " << limit << ")\n";
      continue;
    }
    out << fixed(*c.value, c.unit.empty() ? 3 : 1) << unit << " (limit " << limit << "), " << (c.passed() ? "passed" : "FAILED")
        << "\n";
  }
}

void printRegion(std::ostream& out, const char* what, const MaskRegion& region) {
  out << "  " << what << " (limit " << fixed(region.limitDbr, 0) << " dBr): ";
  if (!region.measured) {
    out << "not measured (beyond half the sample rate)\n";
    return;
  }
  out << "worst " << fixed(region.worstDbr, 1) << " dBr, margin " << fixed(region.margin, 1) << " dB, "
      << (region.margin >= 0 ? "passed" : "FAILED") << (region.partly ? " (measured up to half the sample rate only)" : "")
      << "\n";
}

// The MAC header's kind, sequence number and addresses, and a beacon's SSID, rates and channel.
void writeMacHeader(std::ostream& out, const std::vector<std::uint8_t>& psdu) {
  const auto mac = parseMacHeader(psdu);
  if (!mac) return;
  out << "  MAC " << frameKindName(*mac) << ", duration " << mac->duration << " us";
  if (mac->sequenceControl) out << ", sequence number " << (*mac->sequenceControl >> 4);
  for (std::size_t k = 0; k < mac->addresses.size(); ++k) out << (k ? ", " : ", addresses ") << mac->addresses[k];
  out << "\n";
  if (!mac->management) return;
  const ManagementBody& body = *mac->management;
  out << "  SSID \"" << body.ssid.value_or("") << "\", rates";
  for (double rate : body.ratesMbps) out << " " << fixed(rate, rate == std::floor(rate) ? 0 : 1);
  out << " Mbit/s";
  if (body.channel) out << ", channel " << *body.channel;
  out << ", beacon interval " << body.beaconIntervalTu << " TU\n";
}

void writeMask(std::ostream& out, const MaskResult& mask, double sampleRate) {
  out << "spectrum mask of frame 1 (" << fixed(mask.resolutionBandwidth / 1e3, 0) << " kHz resolution bandwidth, up to "
      << fixed(sampleRate / 2e6, 1) << " MHz off the carrier): "
      << (!mask.inner.measured && !mask.outer.measured ? "not measured" : mask.passed() ? "passed" : "FAILED") << "\n";
  printRegion(out, "11 to 22 MHz off the carrier", mask.inner);
  printRegion(out, "beyond 22 MHz", mask.outer);
}

// The capture as the receiver reads it, with the samples its frames' checks will still read kept: from a
// few milliseconds behind where the search is (or the oldest frame waiting for its checks) on.
class RetainingSource : public SampleSource {
 public:
  RetainingSource(SampleSource& inner, std::function<void()> afterRead) : inner_(inner), afterRead_(std::move(afterRead)) {}

  std::size_t readSamples(Sample* out, std::size_t max) override {
    const std::size_t n = inner_.readSamples(out, max);
    kept_.append(out, n);
    return afterRead(n);
  }
  std::size_t read(Complex* out, std::size_t max) override {
    const std::size_t n = inner_.read(out, max);
    kept_.row().insert(kept_.row().end(), out, out + n);
    return afterRead(n);
  }
  CaptureSpan span() const { return {kept_.row(), kept_.first()}; }
  std::size_t read() const { return kept_.end(); }
  bool ended() const { return ended_; }
  void releaseBefore(std::size_t n) { kept_.releaseBefore(n); }

 private:
  std::size_t afterRead(std::size_t n) {
    ended_ = n == 0;
    afterRead_();
    return n;
  }

  SampleSource& inner_;
  std::function<void()> afterRead_;
  // The capture's samples, in the receiver's precision; let go a million at a time, so that what stays is
  // moved to the front seldom.
  SlidingSamples<Sample> kept_{1 << 20};
  bool ended_ = false;
};

}  // namespace

Verification verifyStream(SampleSource& source, double sampleRate, std::optional<double> carrierHz,
                          const std::function<void(const Verification&, std::size_t)>& onFrame, VerifyScope scope) {
  requireReceivableRate("the sample rate", sampleRate);
  Verification v;
  v.sampleRate = sampleRate;
  const auto beyond = static_cast<double>(checkedBeyondFrame(sampleRate));
  std::size_t checked = 0;  // frames whose checks are made
  double searchedFrom = 0;  // no frame still to be found starts before this capture sample
  std::function<void()> checkReady;
  RetainingSource capture(source, [&] { checkReady(); });
  checkReady = [&] {
    for (; checked < v.frames.size(); ++checked) {
      const ReceivedFrame& frame = v.frames[checked];
      if (!capture.ended() && static_cast<double>(capture.read()) < frame.endSample + beyond) break;
      // The spectrum from the frame's SYNC to its last symbol: no ramps, no idle interval.
      const auto first = static_cast<std::size_t>(frame.startSample), end = static_cast<std::size_t>(frame.endSample);
      const CaptureSpan span = capture.span();
      const CaptureSpan::Sums sums = end > first ? span.sums(first, end) : CaptureSpan::Sums{};
      if (scope.transmitterChecks) {
        // The mask is shown for the first frame; the others' checks need only the spectrum's peak.
        const Sample* const samples = span.narrowFrom(first);
        const MaskResult mask = end <= first  ? MaskResult{}
                                : checked == 0 ? measureMask(samples, end - first, sampleRate)
                                               : measurePeak(samples, end - first, sampleRate);
        v.checks.push_back(checkTransmitter(span, sampleRate, frame, carrierHz, mask, sums));
        if (checked == 0 && end > first) v.mask = mask;
      } else {
        v.checks.emplace_back();
      }
      v.levelsDb.push_back(10 * std::log10(sums.power / static_cast<double>(std::max<std::size_t>(1, end - first))));
      onFrame(v, checked);
      if (!scope.keepPsdus) Bits().swap(v.frames[checked].psdu);
    }
    const double oldestNeeded = checked < v.frames.size() ? v.frames[checked].startSample : searchedFrom;
    capture.releaseBefore(static_cast<std::size_t>(std::max(0.0, std::min(oldestNeeded, searchedFrom) - beyond)));
  };
  receiveStream(
      capture, sampleRate, [&](ReceivedFrame&& frame) { v.frames.push_back(std::move(frame)); }, 1 << 16,
      [&](double from) { searchedFrom = std::max(searchedFrom, from); });
  checkReady();
  return v;
}

Verification verifyCapture(const ComplexRow& samples, double sampleRate, std::optional<double> carrierHz) {
  RowSource source(samples);
  return verifyStream(source, sampleRate, carrierHz, [](const Verification&, std::size_t) {});
}

bool verified(const Verification& v, bool expectFcs) {
  bool good = !v.frames.empty();
  for (const ReceivedFrame& f : v.frames) good = good && f.header.crcOk && (!expectFcs || f.fcsOk);
  return good;
}

void writeFrameSummary(std::ostream& out, const Verification& v, std::size_t k, bool withChecks) {
  const ReceivedFrame& f = v.frames[k];
  out << "frame " << k + 1 << " at sample " << fixed(f.startSample, 0) << ": "
      << (f.header.rateMbps() ? fixed(*f.header.rateMbps(), *f.header.rateMbps() == 5.5 ? 1 : 0) + " Mbit/s "
                              : std::string("unknown rate "))
      << f.modulation << (f.modulation.empty() ? "" : ", ") << (f.shortPreamble ? "short" : "long") << " preamble"
      << (f.scrambled ? "" : ", unscrambled") << ", LENGTH " << f.header.length << " us, header CRC "
      << (f.header.crcOk ? "ok" : "FAILED") << "\n";
  if (f.header.crcOk) {
    out << "  PSDU " << f.psdu.size() / 8 << " octets" << (f.psduComplete ? "" : " (cut short)") << ", FCS "
        << (f.fcsOk ? "ok" : "does not hold (or the frame carries none)") << "\n";
    if (f.fcsOk) writeMacHeader(out, octetsOf(f.psdu));
  }
  out << "  carrier offset " << fixed(f.cfoHz, 0) << " Hz, chip clock " << fixed(f.clockPpm, 1) << " ppm, EVM "
      << fixed(f.evmRmsPercent, 2) << " % rms (" << fixed(20 * std::log10(std::max(f.evmRmsPercent / 100, 1e-12)), 1)
      << " dB), peak " << fixed(f.evmPeak, 3) << "\n";
  if (withChecks && k < v.checks.size()) printChecks(out, v.checks[k]);
}

void writeSummaryEnd(std::ostream& out, const Verification& v, bool withChecks) {
  if (v.frames.empty()) out << "no 802.11b frame found\n";
  if (withChecks && v.mask) writeMask(out, *v.mask, v.sampleRate);
}

void writeSummary(std::ostream& out, const Verification& v, bool withChecks) {
  for (std::size_t k = 0; k < v.frames.size(); ++k) writeFrameSummary(out, v, k, withChecks);
  writeSummaryEnd(out, v, withChecks);
}

}  // namespace dot11b::rx


