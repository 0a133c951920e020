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
#include "parameter_options.h"
#include "parameter_source.h"
#include "runtime/error_text.h"
#include "runtime/shortest_text.h"
#include "runtime/value_range.h"
#include "rx/stream/front_end.h"
#include "rx/verify/verification.h"
#include "sdr/rate_choice.h"
#include "sequence_options.h"
#include "settings/parameter_rules.h"
#include "testbench/frame_description.h"
#include "testbench/frame_sequence.h"
#include "waveform_output.h"

namespace dot11b::cli {

namespace {

struct GenerateOptions {
  std::string out;
  std::string markers;
  std::optional<OutputFormat> format;
  files::SampleEncoding encoding;  // SigMF's sample format and the integer formats' backoff
  std::optional<double> rate;      // [Hz] the file's, when not the frame's own
  bool verify = false;
};

files::SampleFormat parseSigmfType(const std::string& name) {
  for (const auto format : {files::SampleFormat::CF32, files::SampleFormat::CS16, files::SampleFormat::CS8}) {
    if (name == files::sigmfDatatype(format)) return format;
  }
  throw std::invalid_argument("unknown --sigmf-type '" + name + "'; use cf32_le, ci16_le or ci8");
}

// The formats whose integer samples are scaled to full scale less the backoff.
bool scaledToFullScale(OutputFormat format, files::SampleFormat sigmfType) {
  return format == OutputFormat::Cs8 || format == OutputFormat::Cs16 ||
         (format == OutputFormat::Sigmf && sigmfType != files::SampleFormat::CF32);
}

// Takes --sigmf-type and --backoff, each refused where it has no effect rather than ignored.
void takeEncodingOptions(Args& args, GenerateOptions& o) {
  const std::string sigmfType = takeOption(args, "--sigmf-type");
  if (!sigmfType.empty()) {
    o.encoding.format = parseSigmfType(sigmfType);
    if (o.format != OutputFormat::Sigmf) throw std::invalid_argument("--sigmf-type applies to the sigmf format only");
  }
  if (const auto backoff = takeNumberOption(args, "--backoff")) {
    if (!scaledToFullScale(*o.format, o.encoding.format))
      throw std::invalid_argument("--backoff applies to the integer formats only: cs8, cs16 and SigMF's ci16_le and ci8");
    o.encoding.backoffDb = *backoff;
    const files::SampleFormat integers = *o.format == OutputFormat::Cs8    ? files::SampleFormat::CS8
                                         : *o.format == OutputFormat::Cs16 ? files::SampleFormat::CS16
                                                                           : o.encoding.format;
    files::requireBackoff("--backoff", {integers, *backoff});
  }
}

// Takes the output options out of args; --params and --set stay for the parameters.
GenerateOptions takeOutputOptions(Args& args) {
  GenerateOptions o;
  o.out = takeOption(args, "--out");
  o.markers = takeOption(args, "--markers");
  if (const auto at = std::find(args.begin(), args.end(), "--verify"); at != args.end()) {
    o.verify = true;
    args.erase(at);
  }
  if (const std::string format = takeOption(args, "--format"); !format.empty()) {
    o.format = parseOutputFormat(format);
    if (!o.format)
      throw std::invalid_argument("unknown --format '" + format + "'; use cf64, iq16, mat, ascii, complex-mat, sigmf, cs8, cs16 or cf32");
  }
  if (o.out.empty()) throw std::invalid_argument("--out FILE is required");
  if (!o.markers.empty() && o.markers == o.out) throw std::invalid_argument("--markers and --out name the same file");
  if (const auto rate = takeNumberOption(args, "--rate")) {
    // The resampler sizes itself by the rate, as the receiver's does.
    rt::requireInRange("--rate", *rate, rx::kLowestSampleRate, rx::kHighestSampleRate, "Hz", "1 MHz to 1 GHz");
    o.rate = *rate;
  }
  if (!o.format) o.format = o.out == kStandardOutput ? OutputFormat::Cf64 : formatFromExtension(o.out);
  if (!o.format)
    throw std::invalid_argument("cannot tell the format of '" + o.out + "' from its extension; use --format");
  if (o.out == kStandardOutput && !isRawSamples(*o.format))
    throw std::invalid_argument("--out - takes the cf64, iq16, cs8, cs16 or cf32 format only");
  takeEncodingOptions(args, o);
  return o;
}

std::string millisecondsText(std::chrono::steady_clock::duration d) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", std::chrono::duration<double, std::milli>(d).count());
  return text;
}

}  // namespace

int runGenerate(const Args& args) {
  GenerateOptions options;
  FrameOptions frameOptions;
  if (const auto status = takeOptions("generate", [&] {
        Args rest = args;
        options = takeOutputOptions(rest);
        frameOptions = takeFrameOptions(rest);
      })) {
    return *status;
  }
  const rt::Value& parameters = frameOptions.parameters;
  const testbench::SequenceSettings& sequence = frameOptions.sequence;

  try {
    const auto started = std::chrono::steady_clock::now();
    const double frameRate = frameOptions.sampleRate();
    const double rate = options.rate.value_or(frameRate);
    phy::Frame frame = calculateFrame(frameOptions);
    if (rate != frameRate) frame = resampledFrame(frame, frameRate, rate);
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
    if (options.verify) {
      // The summary goes with the other messages, so that --out - keeps standard output to the samples.
      const rx::Verification verification = rx::verifyCapture(frame.waveform, rate, std::nullopt);
      rx::writeSummary(std::cerr, verification, false);
      if (!rx::verified(verification, parameters.field("MACfcs").field("Active").scalarValue() != 0)) return kFailed;
    }
  } catch (const settings::ParameterError& e) {  // the frames made come to more than a waveform may hold
    std::cerr << "dot11b generate: " << e.what() << "\n";
    return kUsage;
  } catch (const std::exception& e) {
    std::cerr << "dot11b generate: " << rt::userMessage(e) << "\n";
    return kFailed;
  }
  return kOk;
}

}  // namespace dot11b::cli
