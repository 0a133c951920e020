// SPDX-License-Identifier: GPL-3.0-or-later
// dot11b per: the packet error rate of each rate against the SNR, measured with the built-in receiver.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <sstream>

#include "c_host.h"
#include "channel/impairments.h"
#include "command.h"
#include "composition_options.h"
#include "heap_rows.h"
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

struct PerOptions {
  testbench::PerSettings settings;
  std::string png, csv;
};

std::vector<double> parseRates(const std::string& text) {
  std::vector<double> rates;
  std::stringstream list(text);
  for (std::string item; std::getline(list, item, ',');) {
    const auto rate = rt::parseReal(item);
    if (!rate || (*rate != 1 && *rate != 2 && *rate != 5.5 && *rate != 11))
      throw std::invalid_argument("--rates takes 1, 2, 5.5 and 11 (Mbit/s), not '" + rt::echoed(item) + "'");
    rates.push_back(*rate);
  }
  if (rates.empty()) throw std::invalid_argument("--rates needs at least one rate");
  return rates;
}

// FROM:TO:STEP, both ends included.
std::vector<double> parseSnrRange(const std::string& text) {
  const auto first = text.find(':'), second = text.find(':', first == std::string::npos ? first : first + 1);
  const auto number = [&text](std::size_t from, std::size_t to) { return rt::parseReal(text.substr(from, to - from)); };
  const auto from = first == std::string::npos ? std::nullopt : number(0, first);
  const auto to = second == std::string::npos ? std::nullopt : number(first + 1, second);
  const auto step = second == std::string::npos ? std::nullopt : number(second + 1, text.size());
  if (!from || !to || !step || !std::isfinite(*from) || !std::isfinite(*to) || !(*step > 0) || *to < *from ||
      (*to - *from) / *step > 200)
    throw std::invalid_argument("--snr must be FROM:TO:STEP in dB (FROM <= TO, STEP > 0, at most 201 points), not '" +
                                rt::echoed(text) + "'");
  rt::requireInRange("--snr FROM", *from, channel::kLowestSnrDb, channel::kHighestSnrDb, "dB");
  rt::requireInRange("--snr TO", *to, channel::kLowestSnrDb, channel::kHighestSnrDb, "dB");
  std::vector<double> snr;
  for (std::size_t k = 0; *from + static_cast<double>(k) * *step <= *to + 1e-9 * *step; ++k)
    snr.push_back(*from + static_cast<double>(k) * *step);
  return snr;
}

PerOptions takePerOptions(Args& args) {
  PerOptions o;
  testbench::CompositionSettings others;
  takeOtherSignals(args, others);
  if (others.tone || others.noiseDb)
    throw std::invalid_argument("per takes --interferer, --offset and --level, not --cw or --noise");
  o.settings.interferers = others.interferers;
  const std::string snr = takeOption(args, "--snr");
  if (snr.empty()) throw std::invalid_argument("--snr FROM:TO:STEP is required");
  o.settings.snrDb = parseSnrRange(snr);
  const std::string rates = takeOption(args, "--rates");
  o.settings.ratesMbps = rates.empty() ? std::vector<double>{1, 2, 5.5, 11} : parseRates(rates);
  const auto whole = [&args](const char* name, double lowest, double highest, std::size_t& into) {
    const auto value = takeNumberOption(args, name);
    if (!value) return;
    if (*value != std::floor(*value) || *value < lowest || *value > highest)
      throw std::invalid_argument(std::string(name) + " must be a whole number from " + rt::shortestText(lowest) + " to " +
                                  rt::shortestText(highest));
    into = static_cast<std::size_t>(*value);
  };
  whole("--frames", 1, 1e6, o.settings.frames);
  whole("--psdu", 29, 2340, o.settings.psduOctets);
  o.settings.impairments = takeImpairmentOptions(args);
  o.png = takeOption(args, "--png");
  o.csv = takeOption(args, "--csv");
  return o;
}

}  // namespace

std::string rateName(double rate) { return rt::numberToText(rate) + " Mbit/s"; }

namespace {

void printTable(std::ostream& out, const testbench::PerSettings& s, const std::vector<testbench::PerPoint>& points) {
  char cell[32];
  out << "SNR (dB)";
  for (double rate : s.ratesMbps) {
    std::snprintf(cell, sizeof cell, "%12s", rateName(rate).c_str());
    out << cell;
  }
  out << "\n";
  for (std::size_t n = 0; n < s.snrDb.size(); ++n) {
    std::snprintf(cell, sizeof cell, "%8.1f", s.snrDb[n]);
    out << cell;
    for (std::size_t r = 0; r < s.ratesMbps.size(); ++r) {
      std::snprintf(cell, sizeof cell, "%12.4f", points[r * s.snrDb.size() + n].per());
      out << cell;
    }
    out << "\n";
  }
  out << "SNR at 8 % PER:";
  for (std::size_t r = 0; r < s.ratesMbps.size(); ++r) {
    const std::vector<testbench::PerPoint> curve(points.begin() + static_cast<std::ptrdiff_t>(r * s.snrDb.size()),
                                             points.begin() + static_cast<std::ptrdiff_t>((r + 1) * s.snrDb.size()));
    const auto at = testbench::snrAtPer(curve, 0.08);
    out << (r ? "," : "") << " " << rateName(s.ratesMbps[r]) << " ";
    if (at) {
      std::snprintf(cell, sizeof cell, "%.1f dB", *at);
      out << cell;
    } else {
      out << "not within the range";
    }
  }
  out << "\n";
}

// The points as the columns of the PER plot's inputs: SNRs, one PER row per rate, the rate names.
std::vector<rt::Value> plotInputs(const testbench::PerSettings& s, const std::vector<testbench::PerPoint>& points) {
  std::vector<double> per;
  for (std::size_t n = 0; n < s.snrDb.size(); ++n)
    for (std::size_t r = 0; r < s.ratesMbps.size(); ++r) per.push_back(points[r * s.snrDb.size() + n].per());
  rt::Value names = rt::Value::cell(1, s.ratesMbps.size());
  for (std::size_t r = 0; r < s.ratesMbps.size(); ++r) names.cells()[r] = rt::Value::text(rateName(s.ratesMbps[r]));
  return {rt::Value::row(s.snrDb), rt::Value::matrix(s.ratesMbps.size(), s.snrDb.size(), std::move(per)),
          std::move(names), rt::Value::scalar(static_cast<double>(s.frames))};
}

}  // namespace

int runPer(const Args& args) {
  if (std::find(args.begin(), args.end(), "--test") != args.end()) return runRejection(args);
  PerOptions options;
  rt::Value parameters;
  if (const auto status = takeOptions("per", [&] {
        Args rest = args;
        options = takePerOptions(rest);
        parameters = parametersFromOptions(rest);
        expectNoMore(rest);
      })) {
    return *status;
  }
  // Each batch of frames takes rows of tens of megabytes and gives them back.
  keepRowsInHeap();
  return runReporting("per", [&] {
    testbench::PerProgress progress;
    progress.frames = [](double rate, std::size_t done, std::size_t frames) {
      std::cerr << rateName(rate) << ": " << done << " of " << frames << " frames through every SNR\n";
    };
    progress.point = [](const testbench::PerPoint& p) {
      std::cerr << rateName(p.rateMbps) << " at " << rt::numberToText(p.snrDb) << " dB: " << p.sent - p.received << " of "
                << p.sent << " frames lost\n";
    };
    const auto points = testbench::measurePer(parameters, options.settings, progress);
    printTable(std::cout, options.settings, points);
    if (!options.png.empty() || !options.csv.empty()) {
      std::vector<rt::Value> in{rt::Value::scalar(0), rt::Value::text("")};
      for (rt::Value& v : plotInputs(options.settings, points)) in.push_back(std::move(v));
      if (!drawOffscreen("VX_PlotPER", in, options.png, options.csv, 800, 600)) return kFailed;
    }
    return kOk;
  });
}

}  // namespace dot11b::cli
