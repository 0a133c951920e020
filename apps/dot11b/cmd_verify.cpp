// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>

#include "command.h"
#include "files/capture_files.h"
#include "rx/verify/verification.h"
#include "parameter_options.h"
#include "parameter_source.h"
#include "testbench/verify_report.h"

namespace dot11b::cli {


namespace {

struct VerifyOptions {
  std::string file;
  std::optional<double> rate;
  bool json = false;
  bool expectFcs = false;
  std::string maskCsv;
  std::optional<double> carrier;
};

bool takeFlag(Args& args, const char* name) {
  const auto at = std::find(args.begin(), args.end(), name);
  if (at == args.end()) return false;
  args.erase(at);
  return true;
}

// A frequency option [Hz]: a finite number greater than 0.
std::optional<double> takeFrequency(Args& args, const char* name, const char* what) {
  const std::string text = takeOption(args, name);
  if (text.empty()) return std::nullopt;
  std::size_t used = 0;
  double value = 0;
  try {
    value = std::stod(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != text.size() || !(value > 0) || !std::isfinite(value))
    throw std::invalid_argument(std::string(name) + " takes " + what + " in Hz greater than 0, not '" + text + "'");
  return value;
}

VerifyOptions takeVerifyOptions(Args& args) {
  VerifyOptions o;
  o.rate = takeFrequency(args, "--rate", "a sample rate");
  o.carrier = takeFrequency(args, "--carrier", "the carrier frequency");
  o.json = takeFlag(args, "--json");
  o.expectFcs = takeFlag(args, "--expect-fcs");
  o.maskCsv = takeOption(args, "--mask-csv");
  if (args.empty() || args.front().rfind("--", 0) == 0) throw std::invalid_argument("a capture FILE is required");
  o.file = args.front();
  args.erase(args.begin());
  return o;
}

}  // namespace

int runVerify(const Args& args) {
  VerifyOptions options;
  if (const auto status = takeOptions("verify", [&] {
        Args rest = args;
        options = takeVerifyOptions(rest);
        expectNoMore(rest);
      })) {
    return *status;
  }
  files::OpenedCapture capture;
  try {
    capture = files::openCapture(options.file);
  } catch (const std::exception& e) {
    std::cerr << "dot11b verify: " << e.what() << "\n";
    return kUsage;
  }
  const std::optional<double> rate = options.rate ? options.rate : capture.sampleRate;
  if (!rate) {
    std::cerr << "dot11b verify: '" << options.file << "' does not say its sample rate; give --rate HZ\n";
    return kUsage;
  }
  rx::Verification verification;
  try {
    // The summary shows each frame as soon as it is checked, so that a long capture shows its progress; a
    // frame printed needs its PSDU no more. The JSON comes at the end, with every frame.
    verification = rx::verifyStream(
        *capture.source, *rate, options.carrier ? options.carrier : capture.carrier,
        [&](const rx::Verification& v, std::size_t k) {
          if (options.json) return;
          rx::writeFrameSummary(std::cout, v, k);
          std::cout.flush();
        },
        options.json);
  } catch (const files::CaptureError& e) {
    std::cerr << "dot11b verify: " << e.what() << "\n";
    return kUsage;
  }
  if (options.json) {
    std::cout << testbench::verificationJson(verification) << "\n";
  } else {
    rx::writeSummaryEnd(std::cout, verification);
  }
  if (!options.maskCsv.empty()) {
    if (!verification.mask) {
      std::cerr << "dot11b verify: no frame, so no spectrum mask for " << options.maskCsv << "\n";
      return kFailed;
    }
    try {
      testbench::writeMaskCsv(options.maskCsv, *verification.mask);
    } catch (const std::exception& e) {
      std::cerr << "dot11b verify: " << e.what() << "\n";
      return kFailed;
    }
  }
  return rx::verified(verification, options.expectFcs) ? kOk : kFailed;
}

}  // namespace dot11b::cli
