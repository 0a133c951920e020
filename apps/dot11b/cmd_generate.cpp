// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>

#include "command.h"
#include "files/sigmf_file.h"
#include "frame_options.h"
#include "heap_rows.h"
#include "output_options.h"
#include "parameter_options.h"
#include "parameter_source.h"
#include "runtime/shortest_text.h"
#include "runtime/value_range.h"
#include "rx/stream/front_end.h"
#include "rx/verify/verification.h"
#include "sdr/rate_choice.h"
#include "sequence_options.h"
#include "testbench/frame_description.h"
#include "testbench/frame_resampling.h"
#include "testbench/frame_sequence.h"
#include "waveform_output.h"

namespace dot11b::cli {

namespace {

// Takes --verify out of args.
bool takeVerify(Args& args) {
  const auto at = std::find(args.begin(), args.end(), "--verify");
  if (at == args.end()) return false;
  args.erase(at);
  return true;
}

std::string millisecondsText(std::chrono::steady_clock::duration d) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", std::chrono::duration<double, std::milli>(d).count());
  return text;
}

}  // namespace

int runGenerate(const Args& args) {
  OutputOptions options;
  bool verify = false;
  FrameOptions frameOptions;
  if (const auto status = takeOptions("generate", [&] {
        Args rest = args;
        verify = takeVerify(rest);
        options = takeOutputOptions(rest);
        frameOptions = takeFrameOptions(rest);
      })) {
    return *status;
  }
  const rt::Value& parameters = frameOptions.parameters;
  const testbench::SequenceSettings& sequence = frameOptions.sequence;

  return runReporting("generate", [&] {
    keepRowsInHeap();
    const auto started = std::chrono::steady_clock::now();
    const double frameRate = frameOptions.sampleRate();
    const double rate = options.rate.value_or(frameRate);
    phy::Frame frame = testbench::calculateSignal(frameOptions);
    if (rate != frameRate) frame = testbench::resampledFrame(frame, frameRate, rate);
    const auto took = std::chrono::steady_clock::now() - started;
    // The markers first: the waveform decides the pair.
    files::ReplacementSet written;
    if (!options.markers.empty()) writeMarkers(written, options.markers, frame);
    const std::size_t clipped =
        writeWaveform(written, options.out, *options.format, options.encoding, frame, rate, parameters);
    written.commit();
    std::cerr << frame.waveform.size() << " samples, "
              << (sequence.frames > 1 ? std::to_string(sequence.frames) + " frames, " : std::string())
              << testbench::rateAndModulation(parameters) << ", " << rt::shortestText(rate / 1e6)
              << " MHz sampling rate"
              << (rate != frameRate ? " (resampled from " + rt::shortestText(frameRate / 1e6) + " MHz)" : "")
              << ", calculated in " << millisecondsText(took) << " ms\n";
    if (rate < sdr::kLowestTransmitRate)
      std::cerr << "dot11b generate: warning: " << rt::shortestText(rate / 1e6)
                << " MHz is below the lowest rate 'dot11b transmit' sends a frame at ("
                << rt::shortestText(sdr::kLowestTransmitRate / 1e6) << " MHz)\n";
    if (clipped > 0) {
      std::cerr << "dot11b generate: " << clipped << " of " << frame.waveform.size()
                << " samples clipped at full scale (--backoff " << rt::shortestText(options.encoding.backoffDb)
                << " dB puts the peak above it)\n";
    }
    if (verify) {
      // The summary goes with the other messages, so that --out - keeps standard output to the samples.
      const rx::Verification verification = rx::verifyCapture(frame.waveform, rate, std::nullopt);
      rx::writeSummary(std::cerr, verification, false);
      if (!rx::verified(verification, parameters.field("MACfcs").field("Active").scalarValue() != 0)) return kFailed;
    }
    return kOk;
  });
}

}  // namespace dot11b::cli
