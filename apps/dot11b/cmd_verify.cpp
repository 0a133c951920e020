// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <limits>
#include <memory>
#include <string>

#include "command.h"
#include "ctrl_c.h"
#include "files/capture_files.h"
#include "files/pcapng_file.h"
#include "files/utc_time.h"
#include "parameter_options.h"
#include "parameter_source.h"
#include "radio_ending.h"
#include "radio_options.h"
#include "runtime/error_text.h"
#include "runtime/shortest_text.h"
#include "runtime/value_range.h"
#include "rx/stream/front_end.h"
#include "rx/verify/verification.h"
#include "sdr/radio_error.h"
#include "sdr/radio_source.h"
#include "sdr/read_ahead.h"
#include "sequence_options.h"
#include "testbench/frame_capture.h"
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
  std::string pcap;                   // the frames as pcapng: a file, or "-" for standard output
  bool pcapAll = false;               // frames without a usable PLCP header too
  std::optional<double> calibration;  // [dB] from dBFS to dBm
};

// The frames as they are decoded, into the pcapng capture.
struct PcapOutput {
  std::unique_ptr<files::PcapngWriter> writer;
  testbench::FrameCaptureSettings settings;
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
    throw std::invalid_argument(std::string(name) + " takes " + what + " in Hz greater than 0, not '" +
                                rt::echoed(text) + "'");
  return value;
}

VerifyOptions takeVerifyOptions(Args& args) {
  VerifyOptions o;
  if (std::find(args.begin(), args.end(), "--device") != args.end()) {
    o.radio = takeReceiveOptions(args);
    o.rate = o.radio->rate;
    const std::optional<double> duration = takePositiveOption(args, "--duration");
    o.duration = duration ? checkedDuration(*duration) : 0;
  }
  if (!o.radio) {
    o.rate = takeFrequency(args, "--rate", "a sample rate");
    if (o.rate) rx::requireReceivableRate("--rate", *o.rate);
  }
  o.carrier = takeFrequency(args, "--carrier", "the carrier frequency");
  o.json = takeFlag(args, "--json");
  o.expectFcs = takeFlag(args, "--expect-fcs");
  o.maskCsv = takeOption(args, "--mask-csv");
  o.pcap = takeOption(args, "--pcap");
  o.pcapAll = takeFlag(args, "--pcap-all");
  o.calibration = takeNumberOption(args, "--calibration");
  if (o.pcap.empty() && (o.pcapAll || o.calibration)) throw std::invalid_argument("--pcap-all and --calibration go with --pcap");
  if (o.radio && o.duration == 0 && o.pcap.empty()) {
    throw std::invalid_argument("--duration S is required with --device (or --pcap, which runs until stopped)");
  }
  if (o.radio) return o;
  if (args.empty() || args.front().rfind("--", 0) == 0) throw std::invalid_argument("a capture FILE or --device ARGS is required");
  o.file = args.front();
  args.erase(args.begin());
  return o;
}

// Verifies what `source` gives and prints it as the options say: each frame's summary as soon as it is
// checked (so that a long capture shows its progress; a frame printed needs its PSDU no more), or the JSON
// at the end with every frame. Throws what the source throws.
// With --pcap - the frames take standard output, and the summary goes to stderr.
int verifyAndReport(const VerifyOptions& options, rx::SampleSource& source, double rate, std::optional<double> carrier,
                    PcapOutput& pcap) {
  std::ostream& out = options.pcap == "-" ? std::cerr : std::cout;
  pcap.settings.frequencyHz = carrier;
  const rx::Verification verification = rx::verifyStream(
      source, rate, carrier,
      [&](const rx::Verification& v, std::size_t k) {
        if (pcap.writer) testbench::writeFrame(*pcap.writer, v, k, pcap.settings);
        if (options.json) return;
        rx::writeFrameSummary(out, v, k);
        out.flush();
      },
      {.keepPsdus = options.json});
  if (options.json) {
    out << testbench::verificationJson(verification) << "\n";
  } else {
    rx::writeSummaryEnd(out, verification);
  }
  if (!options.maskCsv.empty()) {
    if (!verification.mask) {
      std::cerr << "dot11b verify: no frame, so no spectrum mask for " << options.maskCsv << "\n";
      return kFailed;
    }
    try {
      testbench::writeMaskCsv(options.maskCsv, *verification.mask);
    } catch (const std::exception& e) {
      std::cerr << "dot11b verify: " << rt::userMessage(e) << "\n";
      return kFailed;
    }
  }
  return rx::verified(verification, options.expectFcs) ? kOk : kFailed;
}

// Opens the --pcap output (before any radio, so that a path that cannot be written costs nothing). Returns
// kUsage after saying why when it cannot.
std::optional<int> openPcap(const VerifyOptions& options, const std::string& source, PcapOutput& pcap) {
  if (options.pcap.empty()) return std::nullopt;
  pcap.settings.all = options.pcapAll;
  pcap.settings.calibrationDb = options.calibration;
  try {
    pcap.writer = std::make_unique<files::PcapngWriter>(
        options.pcap, files::PcapngInterface{"dot11b verify " + source, testbench::levelDescription(pcap.settings)});
  } catch (const files::PcapngReaderGone&) {
    return kOk;
  } catch (const files::PcapngError& e) {
    std::cerr << "dot11b verify: " << e.what() << "\n";
    return kUsage;
  }
  return std::nullopt;
}

// Decodes what the radio receives for the duration (or, into --pcap, until stopped), frame by frame as they
// come; Ctrl-C, SIGTERM, SIGHUP or a failing radio ends it early, and what came before is decoded and
// reported all the same. The carrier, unless given, is the frequency the radio is tuned to.
int verifyLive(const VerifyOptions& options) {
  const RadioOptions& radioOptions = *options.radio;
  PcapOutput pcap;
  if (const auto status = openPcap(options, radioOptions.device, pcap)) return *status;
  try {
    const CtrlCStop ctrlC;
    sdr::Radio radio(radioOptions.device);
    const double rate = sdr::setUpReceive(radio, *radioOptions.rate, radioOptions.tune);
    const auto samples = options.duration > 0 ? static_cast<std::uint64_t>(std::llround(options.duration * rate))
                                              : std::numeric_limits<std::uint64_t>::max();
    sdr::RadioSource radioSource(radio, samples, ctrlC.requested());
    printRadioNotes("verify", radio);
    warnOfFewSamplesAChip("verify", rate);
    pcap.settings.startNs = files::nowNs();
    // The radio is read on a thread of its own, a second ahead of the decoding at most.
    sdr::ReadAheadSource ahead(radioSource, static_cast<std::size_t>(std::ceil(rate * sdr::kReadAheadSeconds)));
    std::optional<testbench::ReaderWatchedSource> watched;
    if (pcap.writer) watched.emplace(ahead, *pcap.writer);
    rx::SampleSource& source = watched ? static_cast<rx::SampleSource&>(*watched) : ahead;
    std::cerr << "Decoding " << (options.duration > 0 ? rt::shortestText(options.duration) + " s" : "until stopped")
              << " at " << rt::shortestText(rate / 1e6) << " Msample/s, "
              << rt::shortestText(radioOptions.tune.frequency / 1e6) << " MHz, from " << radio.name()
              << "; Ctrl-C stops" << std::endl;
    int status = kOk;
    try {
      status = verifyAndReport(options, source, rate, options.carrier ? options.carrier : radioOptions.tune.frequency,
                               pcap);
    } catch (const files::PcapngReaderGone&) {
      // The reader quit: what it wanted is over, and the radio is released on the way out.
    }
    ahead.stop();
    const RadioEnding ending{radioSource.stopped() ? ctrlC.stopText() : "", radioSource.failure()};
    std::cerr << radioSource.received() << " samples received, overflows: " << radioSource.overflows()
              << (radioSource.overflows() > 0 ? " (samples were lost: a frame across one may not decode)" : "")
              << (ahead.dropped() > 0 ? ", " + std::to_string(ahead.dropped()) +
                                            " samples dropped (the decoding fell more than " +
                                            rt::shortestText(sdr::kReadAheadSeconds) + " s behind the radio)"
                                      : "")
              << (pcap.writer ? ", " + std::to_string(pcap.writer->records()) + " records in " + options.pcap : "")
              << "; " << ending.why("the duration ended") << "\n";
    return ending.failure.empty() ? status : ending.status("verify", "the frames above came before");
  } catch (const std::exception& e) {
    std::cerr << "dot11b verify: " << rt::userMessage(e) << "\n";
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
    std::cerr << "dot11b verify: " << rt::userMessage(e) << "\n";
    return kUsage;
  }
  const std::optional<double> rate = options.rate ? options.rate : capture.sampleRate;
  if (!rate) {
    std::cerr << "dot11b verify: '" << options.file << "' does not say its sample rate; give --rate HZ\n";
    return kUsage;
  }
  PcapOutput pcap;
  if (const auto status = openPcap(options, options.file, pcap)) return *status;
  pcap.settings.startNs = capture.startNs.value_or(0);
  pcap.settings.fullScale = capture.fullScale;
  try {
    return verifyAndReport(options, *capture.source, *rate, options.carrier ? options.carrier : capture.carrier, pcap);
  } catch (const files::PcapngReaderGone&) {
    return kOk;
  } catch (const files::PcapngError& e) {
    std::cerr << "dot11b verify: " << e.what() << "\n";
    return kFailed;
  } catch (const files::CaptureError& e) {
    std::cerr << "dot11b verify: " << rt::userMessage(e) << "\n";
    return kUsage;
  }
}

}  // namespace dot11b::cli
