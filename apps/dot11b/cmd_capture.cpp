// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <iostream>

#include "command.h"
#include "ctrl_c.h"
#include "files/sigmf_file.h"
#include "files/sigmf_recording.h"
#include "parameter_options.h"
#include "parameter_source.h"
#include "radio_options.h"
#include "runtime/shortest_text.h"
#include "sdr/radio_error.h"
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
  o.radio = takeRadioOptions(args, true);
  const std::optional<double> duration = takePositiveOption(args, "--duration");
  if (!duration) throw std::invalid_argument("--duration S is required");
  o.duration = *duration;
  o.out = takeOption(args, "--out");
  if (o.out.empty()) throw std::invalid_argument("--out FILE is required");
  return o;
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
    files::RecordingInfo info{rate, options.radio.tune.frequency, radio.found().text(), files::utcNow(), ""};
    info.description = "dot11b capture" +
                       (options.radio.tune.gain ? ", gain " + rt::shortestText(*options.radio.tune.gain) + " dB" : "");
    for (const auto& [stage, db] : options.radio.tune.stageGains)
      info.description += ", " + stage + " " + rt::shortestText(db) + " dB";
    std::cout << "Capturing " << samples << " samples at " << rt::shortestText(rate / 1e6) << " Msample/s ("
              << phy::formatName(format.format) << "), " << rt::shortestText(options.radio.tune.frequency / 1e6)
              << " MHz, from " << radio.name() << "; Ctrl-C stops" << std::endl;
    std::string failure;
    sdr::ReceiveReport report;
    try {
      report = sdr::receive(stream, samples, ctrlC.requested(),
                            [&](const sdr::NativeSamples& block, std::size_t n, bool afterLoss) {
                              if (afterLoss) recording.markGap();
                              recording.append(block, n);
                            });
    } catch (const sdr::RadioError& e) {
      failure = e.what();
      report.overflows = stream.overflows();
    }
    recording.finish(info);
    std::cout << recording.samples() << " samples (" << recording.datatype() << ") in " << base << ".sigmf-data and "
              << base << ".sigmf-meta, overflows: " << report.overflows
              << (report.overflows > 0 ? " (samples were lost before each: a new capture segment starts there)" : "")
              << (report.stopped ? ", stopped by Ctrl-C" : "") << "\n";
    if (!failure.empty()) {
      std::cerr << "dot11b capture: " << failure << "; the recording holds the samples received before\n";
      return kFailed;
    }
  } catch (const std::exception& e) {
    std::cerr << "dot11b capture: " << e.what() << "\n";
    return kFailed;
  }
  return kOk;
}

}  // namespace dot11b::cli
