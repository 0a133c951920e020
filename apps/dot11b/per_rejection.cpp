// SPDX-License-Identifier: GPL-3.0-or-later
// dot11b per --test adjacent-channel: the built-in receiver's adjacent channel rejection, measured as the
// standard measures a receiver's: the wanted frames 6 dB above the receiver's sensitivity, an interferer of
// the same kind a channel spacing away, raised until the PER crosses 8 %.
#include <cmath>
#include <cstdio>
#include <iostream>

#include "command.h"
#include "composition_options.h"
#include "impairment_options.h"
#include "parameter_options.h"
#include "parameter_source.h"
#include "runtime/number_text.h"
#include "runtime/shortest_text.h"
#include "runtime/value_range.h"
#include "sequence_options.h"
#include "testbench/packet_error_rate.h"

namespace dot11b::cli {

namespace {

constexpr double kTargetPer = 0.08;
constexpr double kAboveSensitivityDb = 6;
// The SNRs searched for the sensitivity [dB].
constexpr double kLowestSnr = -6, kHighestSnr = 20;

struct RejectionOptions {
  testbench::ReceiverTestPlan plan;
  testbench::PerSettings settings;
  std::optional<double> snrDb;        // the wanted frames'; nothing: the sensitivity + 6 dB
  std::vector<double> levelsDb{};     // of the interferer over the wanted frames
  rt::Value parameters;
};

std::vector<double> parseLevels(const std::string& text) {
  double from = 30, to = 60, step = 2;
  if (!text.empty() && std::sscanf(text.c_str(), "%lf:%lf:%lf", &from, &to, &step) != 3)
    throw std::invalid_argument("--levels must be FROM:TO:STEP in dB, not '" + rt::echoed(text) + "'");
  if (!(step > 0) || !(to >= from) || from < -testbench::kMaxRelativeLevelDb || to > testbench::kMaxRelativeLevelDb ||
      (to - from) / step > 100)
    throw std::invalid_argument("--levels must rise from FROM to TO within -80 to 80 dB in at most 101 steps");
  std::vector<double> levels;
  for (double level = from; level <= to + 1e-9 * step; level += step) levels.push_back(level);
  return levels;
}

RejectionOptions takeRejectionOptions(Args& args) {
  RejectionOptions o;
  const std::string test = takeOption(args, "--test");
  if (test != "adjacent-channel") throw std::invalid_argument("per --test takes adjacent-channel only");
  const double rate = takeNumberOption(args, "--rate-mbps").value_or(11);
  const double frames = takeNumberOption(args, "--frames").value_or(100);
  if (frames != std::floor(frames) || frames < 1 || frames > 1e6)
    throw std::invalid_argument("--frames must be a whole number from 1 to 1000000");
  o.plan = testbench::receiverTestPlan(testbench::ReceiverTest::kAdjacentChannel, rate, 1,
                                       takeNumberOption(args, "--channel-spacing"));
  o.snrDb = takeNumberOption(args, "--snr");
  o.levelsDb = parseLevels(takeOption(args, "--levels"));
  if (const auto seed = takeSeedOption(args)) o.settings.impairments.seed = *seed;
  o.parameters = parametersFromOptions(args);
  expectNoMore(args);
  o.settings.ratesMbps = {rate};
  o.settings.frames = static_cast<std::size_t>(frames);
  o.settings.psduOctets = o.plan.psduOctets;
  return o;
}

std::string decibels(double x) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f dB", x);
  return text;
}

}  // namespace

int runRejection(const Args& args) {
  RejectionOptions o;
  if (const auto status = takeOptions("per", [&] {
        Args rest = args;
        o = takeRejectionOptions(rest);
      })) {
    return *status;
  }
  const double rate = o.settings.ratesMbps.front();
  return runReporting("per", [&] {
    testbench::PerProgress progress;
    progress.point = [](const testbench::PerPoint& p) {
      std::cerr << rateName(p.rateMbps) << ": " << p.sent - p.received << " of " << p.sent << " frames lost\n";
    };
    double snr = 0;
    if (o.snrDb) {
      snr = *o.snrDb;
    } else {
      testbench::PerSettings sweep = o.settings;
      for (double s = kLowestSnr; s <= kHighestSnr; ++s) sweep.snrDb.push_back(s);
      const auto sensitivity = testbench::snrAtPer(testbench::measurePer(o.parameters, sweep), kTargetPer);
      if (!sensitivity) throw std::runtime_error("the receiver's sensitivity lies outside -6 to 20 dB SNR");
      snr = *sensitivity + kAboveSensitivityDb;
      std::cout << "Sensitivity (" << rt::shortestText(100 * kTargetPer) << " % PER) at " << rateName(rate) << ": "
                << decibels(*sensitivity) << " SNR; the wanted frames at " << decibels(snr) << " SNR\n";
    }
    const testbench::Interferer interferer =
        testbench::receiverTestComposition(o.plan, o.parameters).interferers.front();
    const auto points =
        testbench::measureRejection(o.parameters, o.settings, snr, interferer, o.levelsDb, progress);
    std::cout << "Interferer " << rt::shortestText(o.plan.channelSpacingHz / 1e6) << " MHz away (dB)   PER\n";
    char cell[64];
    for (auto p = points.rbegin(); p != points.rend(); ++p) {
      std::snprintf(cell, sizeof cell, "%27.1f %9.4f\n", -p->snrDb, p->per());
      std::cout << cell;
    }
    const auto crossing = testbench::snrAtPer(points, kTargetPer);
    std::cout << "Adjacent channel rejection of the built-in receiver at " << rt::shortestText(100 * kTargetPer)
              << " % PER, " << rateName(rate) << ": ";
    if (crossing) std::cout << decibels(-*crossing);
    else if (points.front().per() <= kTargetPer) std::cout << "more than " << decibels(o.levelsDb.back());
    else std::cout << "less than " << decibels(o.levelsDb.front());
    std::cout << "; at least 35 dB by " << o.plan.clauses << "\n";
    return kOk;
  });
}

}  // namespace dot11b::cli
