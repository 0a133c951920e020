// SPDX-License-Identifier: GPL-3.0-or-later
#include "testbench/packet_error_rate.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <thread>

#include "runtime/number_text.h"
#include "rx/receiver.h"
#include "settings/parameter_rules.h"
#include "settings/start_values.h"
#include "settings/template_parameters.h"
#include "testbench/frame_sequence.h"

namespace dot11b::testbench {

using rt::Value;

namespace {

constexpr std::size_t kDataFrameOverhead = 24 + 4;  // MAC header and FCS [octets]
// Frames are made, impaired and decoded in batches of about this many samples, to bound the memory a
// point takes however long its frames are.
constexpr double kBatchSamples = 4e6;

// The record of one rate's frames: data frames with a PN9 payload.
Value frameParameters(const Value& parameters, const PerSettings& s, double rate) {
  Value p = parameters;
  settings::applySetting(p, "dataRate", rt::numberToText(rate));
  settings::applySetting(p, "dataSourceType", "5");
  settings::applySetting(p, "dataLength", std::to_string(s.psduOctets - kDataFrameOverhead));
  settings::validateParameters(p);
  mac::TemplateSettings data;
  data.kind = mac::TemplateKind::Data;
  settings::applyTemplate(p, data);
  return p;
}

// Frames of `batch` found among `received` with a valid FCS, each sent frame counted once.
std::size_t countReceived(std::vector<Bits> sent, const std::vector<rx::ReceivedFrame>& received) {
  std::size_t count = 0;
  for (const rx::ReceivedFrame& f : received) {
    if (!f.fcsOk) continue;
    const auto match = std::find(sent.begin(), sent.end(), f.psdu);
    if (match == sent.end()) continue;
    match->clear();
    ++count;
  }
  return count;
}

PerPoint measurePoint(const Value& p, const PerSettings& s, double rate, double snr, std::uint64_t seed) {
  PerPoint point{rate, snr, s.frames, 0};
  const double sampleRate = 11e6 * p.field("OverSampling").scalarValue();
  const auto perBatch = static_cast<std::size_t>(std::max(1.0, std::floor(kBatchSamples / settings::projectedLength(p))));
  channel::Impairments impairments = s.impairments;
  impairments.snrDb = snr;
  for (std::size_t first = 0, batch = 0; first < s.frames; first += perBatch, ++batch) {
    SequenceSettings sequence;
    sequence.frames = std::min(perBatch, s.frames - first);
    std::vector<Bits> psdus;
    phy::Frame frames = calculateSequence(p, sequence, &psdus);
    impairments.seed = seed + batch;
    const ComplexRow noisy = channel::impair(std::move(frames.waveform), sampleRate, frames.marker2, impairments);
    point.received += countReceived(std::move(psdus), rx::receiveFrames(noisy, sampleRate));
  }
  return point;
}

}  // namespace

std::vector<PerPoint> measurePer(const Value& parameters, const PerSettings& s, const PerProgress& progress) {
  if (s.frames == 0) throw settings::ParameterError("frames: 0 is not allowed; at least one frame a point");
  if (s.psduOctets <= kDataFrameOverhead || s.psduOctets > 2312 + kDataFrameOverhead)
    throw settings::ParameterError("PSDU: " + std::to_string(s.psduOctets) + " octets is not allowed; allowed: 29 to 2340");
  std::vector<Value> records;
  for (double rate : s.ratesMbps) records.push_back(frameParameters(parameters, s, rate));
  for (double snr : s.snrDb) {
    channel::Impairments check = s.impairments;
    check.snrDb = snr;
    channel::checkImpairments(check, 11e6 * parameters.field("OverSampling").scalarValue());
  }

  std::vector<PerPoint> points(s.ratesMbps.size() * s.snrDb.size());
  std::atomic<std::size_t> next{0};
  std::mutex reporting;
  std::exception_ptr failure;
  const auto work = [&] {
    for (std::size_t k = next++; k < points.size(); k = next++) {
      const std::size_t r = k / s.snrDb.size(), n = k % s.snrDb.size();
      try {
        // Each point draws from seeds of its own, so that the table is the same on any number of cores.
        points[k] = measurePoint(records[r], s, s.ratesMbps[r], s.snrDb[n], s.impairments.seed + 1000003 * k);
      } catch (...) {
        const std::lock_guard lock(reporting);
        failure = std::current_exception();
        next = points.size();
        return;
      }
      const std::lock_guard lock(reporting);
      if (progress) progress(points[k]);
    }
  };
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  std::vector<std::thread> workers;
  for (unsigned w = 1; w < std::min<std::size_t>(cores, points.size()); ++w) workers.emplace_back(work);
  work();
  for (std::thread& t : workers) t.join();
  if (failure) std::rethrow_exception(failure);
  return points;
}

std::optional<double> snrAtPer(const std::vector<PerPoint>& points, double target) {
  for (std::size_t k = 1; k < points.size(); ++k) {
    const PerPoint &a = points[k - 1], &b = points[k];
    if (!(a.per() > target && b.per() <= target)) continue;
    // PER 0 has no logarithm: the crossing is then taken linearly.
    if (b.per() <= 0) return a.snrDb + (b.snrDb - a.snrDb) * (a.per() - target) / (a.per() - b.per());
    const double la = std::log(a.per()), lb = std::log(b.per()), lt = std::log(target);
    return a.snrDb + (b.snrDb - a.snrDb) * (la - lt) / (la - lb);
  }
  return std::nullopt;
}

}  // namespace dot11b::testbench
