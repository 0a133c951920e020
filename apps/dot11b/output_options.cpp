// SPDX-License-Identifier: GPL-3.0-or-later
#include "output_options.h"

#include <stdexcept>

#include "files/sigmf_file.h"
#include "parameter_options.h"
#include "rx/stream/front_end.h"
#include "runtime/value_range.h"
#include "sequence_options.h"

namespace dot11b::cli {

namespace {

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
void takeEncodingOptions(Args& args, OutputOptions& o) {
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

}  // namespace

OutputOptions takeOutputOptions(Args& args) {
  OutputOptions o;
  o.out = takeOption(args, "--out");
  o.markers = takeOption(args, "--markers");
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

}  // namespace dot11b::cli
