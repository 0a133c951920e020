#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>

#include "command.h"
#include "parameter_options.h"
#include "parameter_source.h"
#include "rx/receiver.h"
#include "shell/capture_files.h"
#include "verify_report.h"

namespace dot11b::cli {

using shell::Samples;

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
  shell::Capture capture;
  try {
    capture = shell::readCapture(options.file);
  } catch (const std::exception& e) {
    std::cerr << "dot11b verify: " << e.what() << "\n";
    return kUsage;
  }
  const std::optional<double> rate = options.rate ? options.rate : capture.sampleRate;
  if (!rate) {
    std::cerr << "dot11b verify: '" << options.file << "' does not say its sample rate; give --rate HZ\n";
    return kUsage;
  }
  const std::vector<rx::ReceivedFrame> frames = rx::receiveFrames(capture.samples, *rate);
  // The mask over the first frame, from its SYNC to its last symbol (no ramps, no idle interval).
  std::optional<rx::MaskResult> mask;
  if (!frames.empty()) {
    const auto first = static_cast<std::ptrdiff_t>(frames.front().startSample);
    const auto end = static_cast<std::ptrdiff_t>(frames.front().endSample);
    if (end > first) mask = rx::measureMask(Samples(capture.samples.begin() + first, capture.samples.begin() + end), *rate);
  }
  std::vector<std::vector<rx::TransmitterCheck>> checks;
  const std::optional<double> carrier = options.carrier ? options.carrier : capture.carrier;
  for (const rx::ReceivedFrame& f : frames) {
    const auto first = static_cast<std::ptrdiff_t>(f.startSample), end = static_cast<std::ptrdiff_t>(f.endSample);
    const rx::MaskResult spectrum =
        end > first ? rx::measureMask(Samples(capture.samples.begin() + first, capture.samples.begin() + end), *rate)
                    : rx::MaskResult{};
    checks.push_back(rx::checkTransmitter(capture.samples, *rate, f, carrier, spectrum));
  }
  if (options.json) {
    printJson(frames, mask, checks);
  } else {
    printSummary(frames, std::cout, checks);
    if (mask) printMask(*mask, *rate);
  }
  if (!options.maskCsv.empty()) {
    if (!mask) {
      std::cerr << "dot11b verify: no frame, so no spectrum mask for " << options.maskCsv << "\n";
      return kFailed;
    }
    try {
      writeMaskCsv(options.maskCsv, *mask);
    } catch (const std::exception& e) {
      std::cerr << "dot11b verify: " << e.what() << "\n";
      return kFailed;
    }
  }
  return verified(frames, options.expectFcs) ? kOk : kFailed;
}

}  // namespace dot11b::cli
