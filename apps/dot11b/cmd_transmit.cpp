// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cmath>
#include <iostream>

#include "command.h"
#include "ctrl_c.h"
#include "frame_options.h"
#include "parameter_source.h"
#include "phy/samples/peak_scaling.h"
#include "radio_ending.h"
#include "radio_options.h"
#include "runtime/shortest_text.h"
#include "sdr/transmission.h"
#include "sequence_options.h"
#include "testbench/frame_description.h"
#include "testbench/frame_sequence.h"

namespace dot11b::cli {

namespace {

struct TransmitOptions {
  RadioOptions radio;
  sdr::Bursts bursts;
  double backoffDb = 1;
};

TransmitOptions takeTransmitOptions(Args& args) {
  TransmitOptions o;
  o.radio = takeRadioOptions(args, false);
  if (o.radio.rate) checkTransmitRate(*o.radio.rate);
  if (const auto at = std::find(args.begin(), args.end(), "--continuous"); at != args.end()) {
    o.bursts.continuous = true;
    args.erase(at);
  }
  if (const std::optional<double> repeat = takeNumberOption(args, "--repeat")) {
    if (o.bursts.continuous) throw std::invalid_argument("--repeat and --continuous exclude each other");
    if (*repeat < 1 || *repeat != std::floor(*repeat) || *repeat > 1e9)
      throw std::invalid_argument("--repeat must be a whole number from 1 to 1000000000, not " +
                                  rt::shortestText(*repeat));
    o.bursts.repeat = static_cast<long>(*repeat);
  }
  if (const std::optional<double> gap = takeNumberOption(args, "--gap")) {
    if (*gap < 0 || *gap > 3600)
      throw std::invalid_argument("--gap must be from 0 to 3600 s, not " + rt::shortestText(*gap));
    o.bursts.gapSeconds = *gap;
  }
  if (const std::optional<double> backoff = takeNumberOption(args, "--backoff")) {
    // A clipped frame spreads beyond its channel on the air: unlike a file's, the radio's back-off is 0 dB or more.
    if (*backoff < 0) throw std::invalid_argument("--backoff must be 0 dB or more, not " + rt::shortestText(*backoff));
    o.backoffDb = *backoff;
  }
  return o;
}

std::string megasamples(double rate) { return rt::shortestText(rate / 1e6) + " Msample/s"; }

}  // namespace

int runTransmit(const Args& args) {
  TransmitOptions options;
  FrameOptions frameOptions;
  if (const auto status = takeOptions("transmit", [&] {
        Args rest = args;
        options = takeTransmitOptions(rest);
        frameOptions = takeFrameOptions(rest);
      })) {
    return *status;
  }
  const rt::Value& parameters = frameOptions.parameters;

  try {
    const double frameRate = frameOptions.sampleRate();
    const phy::Frame frame = testbench::calculateSignal(frameOptions);

    // Nothing goes on the air until the radio has taken every setting.
    const CtrlCStop ctrlC;
    sdr::Radio radio(options.radio.device);
    const double rate = sdr::setUpTransmit(radio, options.radio.rate, frameRate, options.radio.tune);
    const sdr::StreamFormat format = radio.streamFormat(sdr::Direction::Transmit);
    if (const double largest = sdr::largestBackoffDb(format); options.backoffDb > largest) {
      std::cerr << "dot11b transmit: --backoff " << rt::shortestText(options.backoffDb) << " dB leaves fewer than "
                << phy::kFewestBits << " bits of the radio's " << phy::formatName(format.format) << ": at most "
                << rt::shortestText(std::floor(largest * 10) / 10) << " dB\n";
      return kUsage;
    }
    const sdr::TxWaveform waveform = sdr::prepareWaveform(frame.waveform, frameRate, rate, format, options.backoffDb);
    printRadioNotes("transmit", radio);
    std::cout << testbench::rateAndModulation(parameters) << ", " << frame.waveform.size() << " samples at "
              << megasamples(frameRate);
    if (rate != frameRate) std::cout << ", resampled to " << waveform.samples.size() << " samples";
    std::cout << "\nRate " << megasamples(rate) << ", " << phy::formatName(format.format) << " with its peak "
              << rt::shortestText(options.backoffDb) << " dB below full scale, "
              << rt::shortestText(options.radio.tune.frequency / 1e6) << " MHz, on " << radio.name() << "\n";
    if (waveform.clipped > 0)
      std::cout << "Warning: " << waveform.clipped << " samples clipped at the radio's full scale\n";

    sdr::TxStream stream(radio, format);
    std::cout << "Transmitting "
              << (options.bursts.continuous ? std::string("until Ctrl-C")
                                            : std::to_string(options.bursts.repeat) + " time(s)")
              << "; Ctrl-C stops" << std::endl;
    const sdr::TransmitReport report = sdr::transmit(stream, waveform.samples, options.bursts, ctrlC.requested());
    const RadioEnding ending{report.stopped ? ctrlC.stopText() : "", report.failure};
    std::cerr << report.samplesSent << " samples sent (the waveform " << report.framesSent
              << " times), underflows: " << report.underflows
              << (report.underflows > 0 ? " (a gap on the air at each)" : "") << "; "
              << ending.why("every send made") << "\n";
    return ending.status("transmit", std::to_string(report.samplesSent) + " samples went out before");
  } catch (const std::exception& e) {
    std::cerr << "dot11b transmit: " << e.what() << "\n";
    return kFailed;
  }
}

}  // namespace dot11b::cli
