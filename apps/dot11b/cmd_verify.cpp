// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>

#include "command.h"
#include "ctrl_c.h"
#include "files/capture_files.h"
#include "parameter_options.h"
#include "parameter_source.h"
#include "radio_ending.h"
#include "radio_options.h"
#include "runtime/shortest_text.h"
#include "rx/verify/verification.h"
#include "sdr/radio_error.h"
#include "sdr/radio_source.h"
#include "testbench/verify_report.h"

namespace dot11b::cli {

namespace {

struct VerifyOptions {
  std::string file;
  std::optional<RadioOptions> radio;  // a live decode instead of a file
  double duration = 0;                // [s] of the live decode
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
  if (std::find(args.begin(), args.end(), "--device") != args.end()) {
    o.radio = takeReceiveOptions(args);
    o.rate = o.radio->rate;
    const std::optional<double> duration = takePositiveOption(args, "--duration");
    if (!duration) throw std::invalid_argument("--duration S is required with --device");
    o.duration = checkedDuration(*duration);
  }
  if (!o.radio) o.rate = takeFrequency(args, "--rate", "a sample rate");
  o.carrier = takeFrequency(args, "--carrier", "the carrier frequency");
  o.json = takeFlag(args, "--json");
  o.expectFcs = takeFlag(args, "--expect-fcs");
  o.maskCsv = takeOption(args, "--mask-csv");
  if (o.radio) return o;
  if (args.empty() || args.front().rfind("--", 0) == 0) throw std::invalid_argument("a capture FILE or --device ARGS is required");
  o.file = args.front();
  args.erase(args.begin());
  return o;
}

// Verifies what `source` gives and prints it as the options say: each frame's summary as soon as it is
// checked (so that a long capture shows its progress; a frame printed needs its PSDU no more), or the JSON
// at the end with every frame. Throws what the source throws.
int verifyAndReport(const VerifyOptions& options, rx::SampleSource& source, double rate, std::optional<double> carrier) {
  const rx::Verification verification = rx::verifyStream(
      source, rate, carrier,
      [&](const rx::Verification& v, std::size_t k) {
        if (options.json) return;
        rx::writeFrameSummary(std::cout, v, k);
        std::cout.flush();
      },
      options.json);
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

// Decodes what the radio receives for the duration, frame by frame as they come; Ctrl-C, SIGTERM, SIGHUP
// or a failing radio ends it early, and what came before is decoded and reported all the same. The
// carrier, unless given, is the frequency the radio is tuned to.
int verifyLive(const VerifyOptions& options) {
  const RadioOptions& radioOptions = *options.radio;
  try {
    const CtrlCStop ctrlC;
    sdr::Radio radio(radioOptions.device);
    const double rate = sdr::setUpReceive(radio, *radioOptions.rate, radioOptions.tune);
    const auto samples = static_cast<std::uint64_t>(std::llround(options.duration * rate));
    sdr::RadioSource source(radio, samples, ctrlC.requested());
    printRadioNotes("verify", radio);
    warnOfFewSamplesAChip("verify", rate);
    std::cerr << "Decoding " << rt::shortestText(options.duration) << " s at " << rt::shortestText(rate / 1e6)
              << " Msample/s, " << rt::shortestText(radioOptions.tune.frequency / 1e6) << " MHz, from " << radio.name()
              << "; Ctrl-C stops" << std::endl;
    const int status =
        verifyAndReport(options, source, rate, options.carrier ? options.carrier : radioOptions.tune.frequency);
    const RadioEnding ending{source.stopped() ? ctrlC.stopText() : "", source.failure()};
    std::cerr << source.received() << " samples received, overflows: " << source.overflows()
              << (source.overflows() > 0 ? " (samples were lost: a frame across one may not decode)" : "") << "; "
              << ending.why("the duration ended") << "\n";
    return ending.failure.empty() ? status : ending.status("verify", "the frames above came before");
  } catch (const std::exception& e) {
    std::cerr << "dot11b verify: " << e.what() << "\n";
    return kFailed;
  }
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
  if (options.radio) return verifyLive(options);
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
  try {
    return verifyAndReport(options, *capture.source, *rate, options.carrier ? options.carrier : capture.carrier);
  } catch (const files::CaptureError& e) {
    std::cerr << "dot11b verify: " << e.what() << "\n";
    return kUsage;
  }
}

}  // namespace dot11b::cli
