// SPDX-License-Identifier: GPL-3.0-or-later
#include "testbench/packet_error_rate.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <mutex>
#include <thread>

#include "channel/stages.h"
#include "runtime/number_text.h"
#include "rx/receiver.h"
#include "rx/stream/sample_source.h"
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
// Each point draws from seeds of its own (point k from the run's seed + k x this, and one more for each
// batch), so that the table is the same on any number of cores.
constexpr std::uint64_t kPointSeedStep = 1000003;

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

// Frames of each batch of a rate: about kBatchSamples of them, at least one.
std::size_t framesPerBatch(const Value& p) {
  return static_cast<std::size_t>(std::max(1.0, std::floor(kBatchSamples / settings::projectedLength(p))));
}

// Clean frames with white noise added as the receiver reads them: the samples receiveFrames would read
// from the noisy row, bit for bit, without the row, which is far larger than the processor's caches.
class NoisyFrames : public rx::SampleSource {
 public:
  NoisyFrames(const ComplexRow& clean, channel::NoiseStream noise) : clean_(clean), noise_(std::move(noise)) {}
  std::size_t read(Complex* out, std::size_t max) override {
    const std::size_t n = std::min(max, clean_.size() - next_);
    noise_.addTo(clean_.data() + next_, out, n);
    next_ += n;
    return n;
  }
  // Rounded a piece at a time, so that the wide samples stay in the cache between the sum and the rounding.
  std::size_t readSamples(rx::Sample* out, std::size_t max) override {
    std::size_t done = 0;
    for (std::size_t n; done < max && (n = read(wide_.data(), std::min(max - done, wide_.size()))) > 0; done += n)
      std::copy_n(wide_.begin(), n, out + done);
    return done;
  }

 private:
  const ComplexRow& clean_;
  channel::NoiseStream noise_;
  std::size_t next_ = 0;
  std::array<Complex, 2048> wide_;
};

// Frames in batch `batch` of a rate (the last may hold fewer).
std::size_t framesOfBatch(const Value& p, const PerSettings& s, std::size_t batch) {
  return std::min(framesPerBatch(p), s.frames - batch * framesPerBatch(p));
}

// The frames of batch `batch` of a rate (made once), through the noise of each SNR with the other
// impairments, decoded: how many of them each SNR lets through. The draws of SNR n are those of the
// point's seed `firstSeed + kPointSeedStep x n` and the batch.
std::vector<std::size_t> measureBatch(const Value& p, const PerSettings& s, std::size_t batch, std::uint64_t firstSeed) {
  const double sampleRate = 11e6 * p.field("OverSampling").scalarValue();
  SequenceSettings sequence;
  sequence.frames = framesOfBatch(p, s, batch);
  std::vector<Bits> psdus;
  const phy::Frame frames = calculateSequence(p, sequence, &psdus);
  const auto seedOf = [&](std::size_t n) { return firstSeed + kPointSeedStep * n + batch; };
  std::vector<std::size_t> received;
  if (!s.interferers.empty()) {
    // The frames and their interferers are composed anew for each SNR: the noise is the wanted frames'.
    CompositionSettings composition;
    composition.wanted.parameters = p;
    composition.wanted.sequence = sequence;
    composition.wanted.impairments = s.impairments;
    composition.wanted.impairments.snrDb.reset();
    composition.interferers = s.interferers;
    for (std::size_t n = 0; n < s.snrDb.size(); ++n) {
      composition.noiseDb = -s.snrDb[n];
      composition.seed = seedOf(n);
      const Composite c = compose(composition);
      received.push_back(countReceived(c.wantedPsdus, rx::receiveFrames(c.frame.waveform, c.sampleRate)));
    }
    return received;
  }
  channel::Impairments impairments = s.impairments;
  impairments.snrDb.reset();
  if (!impairments.any()) {
    // Noise alone: the frames' power is the same at every SNR, and the noise is added as the receiver reads
    // the clean frames. The numbers are impair's, bit for bit.
    const double power = channel::meanFramePower(frames.waveform, frames.marker2);
    for (std::size_t n = 0; n < s.snrDb.size(); ++n) {
      NoisyFrames noisy(frames.waveform, channel::NoiseStream(power, sampleRate, s.snrDb[n], seedOf(n)));
      std::vector<rx::ReceivedFrame> decoded;
      rx::receiveStream(noisy, sampleRate, [&decoded](rx::ReceivedFrame&& f) { decoded.push_back(std::move(f)); });
      received.push_back(countReceived(psdus, decoded));
    }
    return received;
  }
  // One row for the impaired frames of every SNR.
  ComplexRow noisy;
  for (std::size_t n = 0; n < s.snrDb.size(); ++n) {
    impairments.snrDb = s.snrDb[n];
    impairments.seed = seedOf(n);
    // The clean frames copied into the row whole (std::copy of trivially copyable numbers is a memmove,
    // which a row's copy construction is not).
    noisy.assign(frames.waveform.begin(), frames.waveform.end());
    noisy = channel::impair(std::move(noisy), sampleRate, frames.marker2, impairments);
    received.push_back(countReceived(psdus, rx::receiveFrames(noisy, sampleRate)));
  }
  return received;
}

}  // namespace

Value dataFrameParameters(const Value& parameters, double rateMbps, std::size_t psduOctets) {
  Value p = parameters;
  settings::applySetting(p, "dataRate", rt::numberToText(rateMbps));
  settings::applySetting(p, "dataSourceType", "5");
  settings::applySetting(p, "dataLength", std::to_string(psduOctets - kDataFrameOverhead));
  settings::validateParameters(p);
  mac::TemplateSettings data;
  data.kind = mac::TemplateKind::Data;
  settings::applyTemplate(p, data);
  return p;
}

std::vector<PerPoint> measureRejection(const Value& parameters, const PerSettings& settings, double snrDb,
                                       const Interferer& interferer, const std::vector<double>& levelsDb,
                                       const PerProgress& progress) {
  std::vector<PerPoint> points;
  for (const double level : levelsDb) {
    PerSettings s = settings;
    s.snrDb = {snrDb};
    s.interferers = {interferer};
    s.interferers[0].levelDb = level;
    for (PerPoint& p : measurePer(parameters, s, progress)) {
      p.snrDb = -level;
      points.push_back(p);
    }
  }
  // Rate by rate, as measurePer orders its points, each rate's rising in minus the level.
  std::stable_sort(points.begin(), points.end(), [&](const PerPoint& a, const PerPoint& b) {
    const auto rank = [&](double rate) { return std::find(settings.ratesMbps.begin(), settings.ratesMbps.end(), rate); };
    return rank(a.rateMbps) != rank(b.rateMbps) ? rank(a.rateMbps) < rank(b.rateMbps) : a.snrDb < b.snrDb;
  });
  return points;
}

std::vector<PerPoint> measurePer(const Value& parameters, const PerSettings& s, const PerProgress& progress) {
  if (s.frames == 0) throw settings::ParameterError("frames: 0 is not allowed; at least one frame a point");
  if (s.psduOctets <= kDataFrameOverhead || s.psduOctets > 2312 + kDataFrameOverhead)
    throw settings::ParameterError("PSDU: " + std::to_string(s.psduOctets) + " octets is not allowed; allowed: 29 to 2340");
  std::vector<Value> records;
  for (double rate : s.ratesMbps) records.push_back(dataFrameParameters(parameters, rate, s.psduOctets));
  for (double snr : s.snrDb) {
    channel::Impairments check = s.impairments;
    check.snrDb = snr;
    channel::checkImpairments(check, 11e6 * parameters.field("OverSampling").scalarValue());
  }
  if (!s.interferers.empty()) {
    CompositionSettings check;
    check.wanted.parameters = records.front();
    check.interferers = s.interferers;
    compositeRate(check);
  }

  // The work goes in batches of a rate's frames, each made once and then taken through every SNR: the
  // frames are the same at every SNR, and making them costs as much as decoding them.
  struct Batch {
    std::size_t rate, index;
  };
  std::vector<Batch> batches;
  std::vector<std::size_t> batchesLeft, framesDone;  // of each rate
  std::vector<PerPoint> points;
  for (std::size_t r = 0; r < s.ratesMbps.size(); ++r) {
    const std::size_t count = (s.frames + framesPerBatch(records[r]) - 1) / framesPerBatch(records[r]);
    for (std::size_t b = 0; b < count; ++b) batches.push_back({r, b});
    batchesLeft.push_back(count);
    framesDone.push_back(0);
    for (double snr : s.snrDb) points.push_back({s.ratesMbps[r], snr, s.frames, 0});
  }
  std::atomic<std::size_t> next{0};
  std::mutex reporting;
  std::exception_ptr failure;
  const auto work = [&] {
    for (std::size_t k = next++; k < batches.size(); k = next++) {
      const Batch& batch = batches[k];
      const std::size_t firstPoint = batch.rate * s.snrDb.size();
      std::vector<std::size_t> received;
      try {
        received = measureBatch(records[batch.rate], s, batch.index, s.impairments.seed + kPointSeedStep * firstPoint);
      } catch (...) {
        const std::lock_guard lock(reporting);
        failure = std::current_exception();
        next = batches.size();
        return;
      }
      const std::lock_guard lock(reporting);
      for (std::size_t n = 0; n < received.size(); ++n) points[firstPoint + n].received += received[n];
      framesDone[batch.rate] += framesOfBatch(records[batch.rate], s, batch.index);
      if (progress.frames) progress.frames(s.ratesMbps[batch.rate], framesDone[batch.rate], s.frames);
      // A rate's points are done with its last batch.
      if (--batchesLeft[batch.rate] == 0 && progress.point) {
        for (std::size_t n = 0; n < s.snrDb.size(); ++n) progress.point(points[firstPoint + n]);
      }
    }
  };
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  std::vector<std::thread> workers;
  for (unsigned w = 1; w < std::min<std::size_t>(cores, batches.size()); ++w) workers.emplace_back(work);
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
