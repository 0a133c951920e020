// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <iostream>

#include "command.h"
#include "ctrl_c.h"
#include "files/sigmf_file.h"
#include "files/sigmf_recording.h"
#include "parameter_options.h"
#include "parameter_source.h"
#include "radio_ending.h"
#include "radio_options.h"
#include "runtime/shortest_text.h"
#include "sdr/radio_source.h"

namespace dot11b::cli {

namespace {

struct CaptureOptions {
  RadioOptions radio;
  double duration = 0;
  std::string out;
};

CaptureOptions takeCaptureOptions(Args& args) {
  CaptureOptions o;
  o.radio = takeReceiveOptions(args);
  const std::optional<double> duration = takePositiveOption(args, "--duration");
  if (!duration) throw std::invalid_argument("--duration S is required");
  o.duration = checkedDuration(*duration);
  o.out = takeOption(args, "--out");
  if (o.out.empty()) throw std::invalid_argument("--out FILE is required");
  return o;
}

std::string describe(const RadioOptions& radio) {
  std::string text =
      "dot11b capture" + (radio.tune.gain ? ", gain " + rt::shortestText(*radio.tune.gain) + " dB" : "");
  for (const auto& [stage, db] : radio.tune.stageGains) text += ", " + stage + " " + rt::shortestText(db) + " dB";
  return text;
}

}  // namespace

int runCapture(const Args& args) {
  CaptureOptions options;
  if (const auto status = takeOptions("capture", [&] {
        Args rest = args;
        options = takeCaptureOptions(rest);
        expectNoMore(rest);
      })) {
    return *status;
  }
  try {
    const CtrlCStop ctrlC;
    sdr::Radio radio(options.radio.device);
    const double rate = sdr::setUpReceive(radio, *options.radio.rate, options.radio.tune);
    const auto samples = static_cast<std::uint64_t>(std::llround(options.duration * rate));
    const sdr::StreamFormat format = radio.streamFormat(sdr::Direction::Receive);
    const std::string base = files::sigmfBaseName(options.out);
    files::Recording recording(base, format.format);
    sdr::RxStream stream(radio, format);
    files::RecordingInfo info{rate, options.radio.tune.frequency, radio.found().text(), files::utcNow(),
                              describe(options.radio), ""};
    printRadioNotes("capture", radio);
    warnOfFewSamplesAChip("capture", rate);
    std::cout << "Capturing " << samples << " samples at " << rt::shortestText(rate / 1e6) << " Msample/s ("
              << phy::formatName(format.format) << "), " << rt::shortestText(options.radio.tune.frequency / 1e6)
              << " MHz, from " << radio.name() << "; Ctrl-C stops" << std::endl;
    const auto keep = [&](const sdr::NativeSamples& block, std::size_t n, bool lost) {
      if (lost) recording.markGap();
      return recording.append(block, n);
    };
    const sdr::ReceiveReport report = sdr::receive(stream, samples, ctrlC.requested(), keep);
    info.cutShort = report.failure;
    recording.finish(info);
    // The disk's error, if the samples met a full disk or made room for the description on one.
    const std::string diskError = recording.error().empty() ? "" : "cannot write " + base + ".sigmf-data: " +
                                                                       recording.error();
    const RadioEnding ending{report.stopped ? ctrlC.stopText() : "",
                             report.failure.empty() ? diskError : report.failure};
    std::cerr << recording.samples() << " samples (" << recording.datatype() << ") in " << base << ".sigmf-data and "
              << base << ".sigmf-meta, overflows: " << report.overflows
              << (report.overflows > 0 ? " (samples were lost before each: a new capture segment starts there)" : "")
              << "; " << ending.why("the duration ended") << "\n";
    return ending.status("capture", "the recording holds the samples received before");
  } catch (const std::exception& e) {
    std::cerr << "dot11b capture: " << e.what() << "\n";
    return kFailed;
  }
}

}  // namespace dot11b::cli
