// SPDX-License-Identifier: GPL-3.0-or-later
#include "testbench/receiver_tests.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "runtime/shortest_text.h"
#include "settings/parameter_rules.h"
#include "testbench/packet_error_rate.h"

namespace dot11b::testbench {

namespace {

struct TestName {
  ReceiverTest test;
  const char* name;
};
constexpr TestName kNames[] = {{ReceiverTest::kSensitivity, "sensitivity"},
                               {ReceiverTest::kMaxInput, "max-input"},
                               {ReceiverTest::kAdjacentChannel, "adjacent-channel"},
                               {ReceiverTest::kCca, "cca"}};

// The DSSS rates take clause 15's numbers, given there for 2 Mbit/s DQPSK; the HR/DSSS rates clause 18's,
// given for 11 Mbit/s CCK.
bool dsssRate(double rateMbps) { return rateMbps < 5.5; }

std::string dbm(double level) { return rt::shortestText(level) + " dBm"; }

constexpr double kHighestOversampling = 9;

// The record at another oversampling, its ramp and idle interval as long in time as before.
rt::Value atOversampling(rt::Value p, double oversampling) {
  const double scale = oversampling / p.field("OverSampling").scalarValue();
  const double ramp = std::round(p.field("rampLength").scalarValue() * scale);
  const double idle = std::round(p.field("idleSamples").scalarValue() * scale);
  settings::applySetting(p, "OverSampling", rt::shortestText(oversampling));
  settings::applySetting(p, "rampLength", rt::shortestText(ramp));
  settings::applySetting(p, "idleSamples", rt::shortestText(idle));
  settings::validateParameters(p);
  settings::deriveParameters(p);
  return p;
}

}  // namespace

std::optional<ReceiverTest> receiverTestNamed(const std::string& name) {
  for (const TestName& n : kNames)
    if (name == n.name) return n.test;
  return std::nullopt;
}

std::string receiverTestName(ReceiverTest test) {
  for (const TestName& n : kNames)
    if (test == n.test) return n.name;
  return "";
}

ReceiverTestPlan receiverTestPlan(ReceiverTest test, double rateMbps, std::size_t frames,
                                  std::optional<double> channelSpacingHz) {
  if (rateMbps != 1 && rateMbps != 2 && rateMbps != 5.5 && rateMbps != 11)
    throw std::invalid_argument("the rate must be 1, 2, 5.5 or 11 Mbit/s, not " + rt::shortestText(rateMbps));
  if (frames < 1 || frames > kMaxSequenceFrames)
    throw std::invalid_argument("the frames must be 1 to " + std::to_string(kMaxSequenceFrames));
  if (channelSpacingHz && test != ReceiverTest::kAdjacentChannel)
    throw std::invalid_argument("a channel spacing applies to the adjacent-channel test only");
  const bool dsss = dsssRate(rateMbps);
  ReceiverTestPlan plan;
  plan.test = test;
  plan.rateMbps = rateMbps;
  plan.frames = frames;
  const double sensitivityDbm = dsss ? -80 : -76;
  const std::string given = dsss ? " (given for 2 Mbit/s DQPSK)" : " (given for 11 Mbit/s CCK)";
  switch (test) {
    case ReceiverTest::kSensitivity:
      plan.wantedLevelDbm = sensitivityDbm;
      plan.clauses = dsss ? "IEEE 802.11-1999 15.4.8.1" + given : "IEEE 802.11b-1999 18.4.8.1" + given;
      break;
    case ReceiverTest::kMaxInput:
      plan.wantedLevelDbm = dsss ? -4 : -10;
      plan.clauses = dsss ? "IEEE 802.11-1999 15.4.8.2" + given : "IEEE 802.11b-1999 18.4.8.2 (any modulation)";
      break;
    case ReceiverTest::kAdjacentChannel: {
      const double leastSpacing = dsss ? 30e6 : 25e6;
      plan.channelSpacingHz = channelSpacingHz.value_or(leastSpacing);
      if (!(plan.channelSpacingHz >= leastSpacing))
        throw std::invalid_argument("the channel spacing must be at least " + rt::shortestText(leastSpacing / 1e6) +
                                    " MHz at " + rt::shortestText(rateMbps) + " Mbit/s, not " +
                                    rt::shortestText(plan.channelSpacingHz / 1e6) + " MHz");
      plan.wantedLevelDbm = sensitivityDbm + 6;
      plan.interfererLevelDbm = sensitivityDbm + 41;
      plan.clauses = dsss ? "IEEE 802.11-1999 15.4.8.3" + given : "IEEE 802.11b-1999 18.4.8.3" + given;
      break;
    }
    case ReceiverTest::kCca:
      // The energy-detection threshold of a transmitter of 50 to 100 mW; -80 dBm above 100 mW, -70 dBm at
      // or below 50 mW.
      plan.wantedLevelDbm = -76;
      plan.frameErrorRatio.reset();
      plan.clauses = dsss ? "IEEE 802.11-1999 15.4.8.4" : "IEEE 802.11b-1999 18.4.8.4";
      break;
  }
  return plan;
}

CompositionSettings receiverTestComposition(const ReceiverTestPlan& plan, const rt::Value& parameters) {
  CompositionSettings c;
  c.wanted.parameters = dataFrameParameters(parameters, plan.rateMbps, plan.psduOctets);
  c.wanted.sequence.frames = plan.frames;
  if (plan.interfererLevelDbm) {
    Interferer it;
    it.signal = c.wanted;
    it.signal.sequence.frames = std::min(plan.frames, kInterfererFrames);
    it.offsetHz = plan.channelSpacingHz;
    it.levelDb = *plan.interfererLevelDbm - plan.wantedLevelDbm;
    c.interferers.push_back(std::move(it));
  }
  // Frames made at the composite's rate itself, where an oversampling reaches it, need no resampling.
  const double oversampling = compositeRate(c) / 11e6;
  if (oversampling == std::floor(oversampling) && oversampling <= kHighestOversampling) {
    c.wanted.parameters = atOversampling(c.wanted.parameters, oversampling);
    for (Interferer& it : c.interferers) it.signal.parameters = atOversampling(it.signal.parameters, oversampling);
  }
  return c;
}

std::vector<std::string> planLines(const ReceiverTestPlan& plan) {
  const std::string rate = rt::shortestText(plan.rateMbps) + " Mbit/s";
  std::vector<std::string> lines{"Receiver test: " + receiverTestName(plan.test) + ", " + plan.clauses,
                                 "Wanted signal: " + std::to_string(plan.frames) + (plan.frames == 1 ? " frame of " : " frames of ") +
                                     std::to_string(plan.psduOctets) + "-octet PSDUs at " + rate + ", " +
                                     dbm(plan.wantedLevelDbm) + " at the antenna connector"};
  if (plan.interfererLevelDbm)
    lines.push_back("Interferer: the same kind of frames with their own data and timing, " +
                    rt::shortestText(std::abs(plan.channelSpacingHz) / 1e6) +
                    (plan.channelSpacingHz < 0 ? " MHz below, " : " MHz above, ") + dbm(*plan.interfererLevelDbm) +
                    " (" + rt::shortestText(*plan.interfererLevelDbm - plan.wantedLevelDbm) + " dB above the wanted)");
  if (plan.frameErrorRatio)
    lines.push_back("Pass: frame error ratio below " + rt::shortestText(100 * *plan.frameErrorRatio) + " %");
  else
    lines.push_back("Pass: CCA reports the medium busy within the slot in which a frame starts (marker 1) at the "
                    "energy-detection threshold (-80 dBm above 100 mW, -76 dBm for 50 to 100 mW, -70 dBm at or below "
                    "50 mW: --level)");
  return lines;
}

rt::Value planRecord(const ReceiverTestPlan& plan) {
  rt::Value r = rt::Value::record();
  const auto nan = std::nan("");
  r.setField("test", rt::Value::text(receiverTestName(plan.test)));
  r.setField("rateMbps", rt::Value::scalar(plan.rateMbps));
  r.setField("psduOctets", rt::Value::scalar(static_cast<double>(plan.psduOctets)));
  r.setField("frames", rt::Value::scalar(static_cast<double>(plan.frames)));
  r.setField("wantedLevelDbm", rt::Value::scalar(plan.wantedLevelDbm));
  r.setField("interfererLevelDbm", rt::Value::scalar(plan.interfererLevelDbm.value_or(nan)));
  r.setField("channelSpacingHz", rt::Value::scalar(plan.channelSpacingHz));
  r.setField("frameErrorRatio", rt::Value::scalar(plan.frameErrorRatio.value_or(nan)));
  r.setField("clauses", rt::Value::text(plan.clauses));
  return r;
}

std::string planJson(const ReceiverTestPlan& plan) {
  nlohmann::ordered_json j = {{"test", receiverTestName(plan.test)},
                              {"rate_mbps", plan.rateMbps},
                              {"psdu_octets", plan.psduOctets},
                              {"frames", plan.frames},
                              {"wanted_level_dbm", plan.wantedLevelDbm}};
  if (plan.interfererLevelDbm) {
    j["interferer_level_dbm"] = *plan.interfererLevelDbm;
    j["channel_spacing_hz"] = plan.channelSpacingHz;
  }
  if (plan.frameErrorRatio) j["frame_error_ratio"] = *plan.frameErrorRatio;
  j["clauses"] = plan.clauses;
  return j.dump();
}

}  // namespace dot11b::testbench
