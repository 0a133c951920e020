// SPDX-License-Identifier: GPL-3.0-or-later
// Frame sequences with their templates, and the impairment stage, for the calling forms. Both take their
// settings as a record whose fields are all optional; a field of another name is refused, so that a typing
// error never passes unnoticed.
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

#include "channel/impairments.h"
#include "runtime/binding.h"
#include "runtime/c_calls.h"
#include "runtime/export_macros.h"
#include "settings_record.h"
#include "settings/template_parameters.h"
#include "settings/start_values.h"
#include "testbench/frame_sequence.h"
#include "testbench/generator_level.h"
#include "testbench/receiver_tests.h"
#include "testbench/signal_composer.h"

namespace dot11b::rt {

namespace {

channel::Impairments impairmentsOf(const Value& record) {
  SettingsRecord r(record, "Dot11b_Impair", "impairments");
  channel::Impairments im;
  im.snrDb = r.number("snrDb");
  for (auto [field, into] : {std::pair{"cfoHz", &im.cfoHz},
                             {"phaseDeg", &im.phaseDeg},
                             {"clockPpm", &im.clockPpm},
                             {"iqGainDb", &im.iqGainDb},
                             {"iqSkewDeg", &im.iqSkewDeg},
                             {"multipathNs", &im.multipathRmsNs}}) {
    if (const auto v = r.number(field)) *into = *v;
  }
  if (const Value* dc = r.take("dc")) im.dc = toComplexScalar(*dc, {"Dot11b_Impair", "dc"});
  if (const auto seed = r.number("seed")) {
    if (*seed < 0 || *seed != std::floor(*seed) || *seed > 9007199254740992.0)
      throw std::invalid_argument("Dot11b_Impair: seed must be a whole number from 0 to 2^53");
    im.seed = static_cast<std::uint64_t>(*seed);
  }
  r.expectAllRead();
  return im;
}

std::optional<mac::MacAddress> addressOf(SettingsRecord& r, std::string_view field) {
  const auto text = r.text(field);
  if (!text) return std::nullopt;
  try {
    return mac::parseMacAddress(*text);
  } catch (const std::invalid_argument& e) {
    throw std::invalid_argument("Dot11b_Sequence: " + std::string(field) + ": " + e.what());
  }
}

testbench::SequenceSettings sequenceOf(const Value& record) {
  SettingsRecord r(record, "Dot11b_Sequence", "sequence");
  testbench::SequenceSettings s;
  if (const auto frames = r.number("frames")) {
    if (*frames < 1 || *frames != std::floor(*frames) || *frames > static_cast<double>(testbench::kMaxSequenceFrames))
      throw std::invalid_argument("Dot11b_Sequence: frames must be a whole number from 1 to " +
                                  std::to_string(testbench::kMaxSequenceFrames));
    s.frames = static_cast<std::size_t>(*frames);
  }
  if (const auto payload = r.text("payload")) {
    if (*payload != "continue" && *payload != "repeat")
      throw std::invalid_argument("Dot11b_Sequence: payload must be 'continue' or 'repeat', not '" + *payload + "'");
    s.payload = *payload == "repeat" ? testbench::PayloadRun::kRepeat : testbench::PayloadRun::kContinue;
  }
  if (const auto kind = r.text("template")) {
    const auto named = mac::templateKindNamed(*kind);
    if (!named) throw std::invalid_argument("Dot11b_Sequence: template must be " + std::string(mac::templateNames()));
    mac::TemplateSettings t;
    t.kind = *named;
    t.ssid = r.text("ssid").value_or("");
    t.bssid = addressOf(r, "bssid");
    t.ra = addressOf(r, "ra");
    t.ta = addressOf(r, "ta");
    t.beaconIntervalTu = r.number("beaconInterval").value_or(t.beaconIntervalTu);
    t.channel = static_cast<int>(r.number("channel").value_or(0));
    s.frameTemplate = t;
  }
  r.expectAllRead();
  return s;
}

// (waveform, sampleRate, impairments [, frameMask]): the waveform as the receiver meets it.
Values impair(const Values& in, int) {
  const Inputs args(in, "Dot11b_Impair");
  ComplexRow waveform = args.complexVector(0, "waveform");
  const double rate = args.scalar(1, "sampleRate");
  const channel::Impairments im = impairmentsOf(args.at(2, "impairments"));
  const Bits mask = args.given(3) ? args.bits(3, "frameMask") : Bits{};
  return {fromComplex(channel::impair(std::move(waveform), rate, mask, im))};
}

// (parameters, sequence): the frames one after another, their 2 x L markers, and the parameters with the
// template put in.
Values sequence(const Values& in, int nargout) {
  const Inputs args(in, "Dot11b_Sequence");
  Value parameters = args.at(0, "parameters");
  testbench::SequenceSettings s = sequenceOf(args.given(1) ? args.at(1, "sequence") : Value());
  if (s.frameTemplate) settings::applyTemplate(parameters, *s.frameTemplate);
  const phy::Frame frames = testbench::calculateSequence(parameters, s);
  Values out{fromComplex(frames.waveform)};
  if (nargout > 1) out.push_back(fromMarkerRows(frames.marker1, frames.marker2));
  if (nargout > 2) out.push_back(std::move(parameters));
  return out;
}

// (parameters, sequence): the number of samples Dot11b_Sequence will give, without making them.
Values sequenceLength(const Values& in, int) {
  const Inputs args(in, "Dot11b_SequenceLength");
  Value parameters = args.at(0, "parameters");
  testbench::SequenceSettings s = sequenceOf(args.given(1) ? args.at(1, "sequence") : Value());
  if (s.frameTemplate) settings::applyTemplate(parameters, *s.frameTemplate);
  return {Value::scalar(testbench::sequenceLength(parameters, s.frames))};
}

// An interferer's record: parameters, sequence, offsetHz, levelDb, startSeconds.
testbench::Interferer interfererOf(const Value& record, std::size_t index) {
  const std::string name = "interferer " + std::to_string(index + 1);
  SettingsRecord r(record, "Dot11b_Compose", name);
  testbench::Interferer it;
  const Value* p = r.take("parameters");
  it.signal.parameters = p != nullptr && !p->isEmpty() ? *p : settings::initialParameters();
  const Value* seq = r.take("sequence");
  it.signal.sequence = sequenceOf(seq != nullptr ? *seq : Value());
  if (it.signal.sequence.frameTemplate)
    settings::applyTemplate(it.signal.parameters, *it.signal.sequence.frameTemplate);
  it.offsetHz = r.number("offsetHz").value_or(0);
  it.levelDb = r.number("levelDb").value_or(0);
  it.startSeconds = r.number("startSeconds");
  r.expectAllRead();
  return it;
}

// (parameters, sequence, composition): the wanted frames with the composition's other signals, or a
// receiver test's composite (composition.test), as 'dot11b compose' makes them: the samples, their 2 x L
// markers (the wanted frames') and a record of the sample rate (sampleRate), the generator's level over the
// wanted frames (generatorLevelDb) and, for a test, its plan (receiverTest) and the amplitude of its level
// (amplitudeDbm).
Values compose(const Values& in, int nargout) {
  const Inputs args(in, "Dot11b_Compose");
  const Value record = args.given(2) ? args.at(2, "composition") : Value();
  SettingsRecord r(record, "Dot11b_Compose", "composition");
  testbench::CompositionSettings c;
  std::optional<testbench::ReceiverTestPlan> plan;
  if (const auto test = r.text("test")) {
    const auto named = testbench::receiverTestNamed(*test);
    if (!named)
      throw std::invalid_argument("Dot11b_Compose: test must be sensitivity, max-input, adjacent-channel or cca");
    const double frames = r.number("frames").value_or(100);
    if (frames != std::floor(frames) || frames < 1)
      throw std::invalid_argument("Dot11b_Compose: frames must be a whole number");
    plan = testbench::receiverTestPlan(*named, r.number("rateMbps").value_or(11), static_cast<std::size_t>(frames),
                                       r.number("channelSpacingHz"));
    if (const auto level = r.number("levelDbm")) {
      try {
        testbench::setWantedLevel(*plan, *level);
      } catch (const std::invalid_argument& e) {
        throw std::invalid_argument(std::string("Dot11b_Compose: ") + e.what());
      }
    }
    c = testbench::receiverTestComposition(*plan, args.at(0, "parameters"));
  } else {
    c.wanted.parameters = args.at(0, "parameters");
    c.wanted.sequence = sequenceOf(args.given(1) ? args.at(1, "sequence") : Value());
    if (c.wanted.sequence.frameTemplate) settings::applyTemplate(c.wanted.parameters, *c.wanted.sequence.frameTemplate);
    if (const Value* list = r.take("interferers")) {
      if (!list->isEmpty() && !list->isCell())
        throw std::invalid_argument("Dot11b_Compose: interferers must be a list of records");
      for (const Value& one : list->cells()) c.interferers.push_back(interfererOf(one, c.interferers.size()));
    }
    const auto cwHz = r.number("cwHz"), cwDb = r.number("cwDb");
    if (cwHz || cwDb) c.tone = testbench::Tone{cwHz.value_or(0), cwDb.value_or(0)};
    c.noiseDb = r.number("noiseDb");
  }
  c.sampleRate = r.number("sampleRate");
  if (const auto seed = r.number("seed")) {
    if (*seed < 0 || *seed != std::floor(*seed) || *seed > 9007199254740992.0)
      throw std::invalid_argument("Dot11b_Compose: seed must be a whole number from 0 to 2^53");
    c.seed = static_cast<std::uint64_t>(*seed);
  }
  r.expectAllRead();
  const testbench::Composite composite = testbench::compose(c);
  Values out{fromComplex(composite.frame.waveform)};
  if (nargout > 1) out.push_back(fromMarkerRows(composite.frame.marker1, composite.frame.marker2));
  if (nargout > 2) {
    Value report = Value::record();
    report.setField("sampleRate", Value::scalar(composite.sampleRate));
    report.setField("generatorLevelDb", Value::scalar(testbench::instrumentLevelDbm(composite, 0)));
    if (plan) {
      report.setField("receiverTest", testbench::planRecord(*plan));
      report.setField("amplitudeDbm", Value::scalar(testbench::instrumentLevelDbm(composite, plan->wantedLevelDbm)));
    }
    out.push_back(std::move(report));
  }
  return out;
}

void registerChannelSequence(Registry& reg) {
  reg.add({"Dot11b_Compose", "dot11b_Compose", 1, 3, 3, compose});
  reg.add({"Dot11b_Impair", "dot11b_Impair", 1, 4, 1, impair});
  reg.add({"Dot11b_Sequence", "dot11b_Sequence", 1, 2, 3, sequence});
  reg.add({"Dot11b_SequenceLength", "dot11b_SequenceLength", 1, 2, 1, sequenceLength});
}

}  // namespace

DOT11B_REGISTER_ROUTINES(registerChannelSequence)

}  // namespace dot11b::rt

// Dot11b_Sequence's samples and markers straight into the caller's buffers: the one copy a host must make.
extern "C" DOT11B_API long long dot11b_generate(const dot11b_array* parameters, const dot11b_array* sequence,
                                                double* samples, unsigned char* markers, size_t capacity) {
  using namespace dot11b;
  try {
    const rt::Value none;
    rt::Value record = parameters ? *rt::valueOf(parameters) : none;
    if (!record.isRecord()) throw std::invalid_argument("dot11b_generate: parameters must be a record");
    testbench::SequenceSettings s = rt::sequenceOf(sequence ? *rt::valueOf(sequence) : none);
    if (s.frameTemplate) settings::applyTemplate(record, *s.frameTemplate);
    const phy::Frame frames = testbench::calculateSequence(record, s);
    const std::size_t n = frames.waveform.size();
    if (n > capacity)
      throw std::invalid_argument("dot11b_generate: " + std::to_string(n) + " samples do not fit into " +
                                  std::to_string(capacity));
    if (samples) std::memcpy(samples, frames.waveform.data(), n * sizeof(Complex));
    if (markers) {
      std::copy(frames.marker1.begin(), frames.marker1.end(), markers);
      std::copy(frames.marker2.begin(), frames.marker2.end(), markers + n);
    }
    return static_cast<long long>(n);
  } catch (const std::exception& e) {
    rt::setLastError(e.what());
  }
  return -1;
}

DOT11B_EXPORT_1(Dot11b_Impair, 4)
DOT11B_EXPORT_3(Dot11b_Sequence, 2)
DOT11B_EXPORT_1(Dot11b_SequenceLength, 2)
DOT11B_EXPORT_3(Dot11b_Compose, 3)
