// SPDX-License-Identifier: GPL-3.0-or-later
// The output options of the commands that write a waveform file (generate, compose).
#pragma once

#include <optional>
#include <string>

#include "command.h"
#include "files/sdr_sample_files.h"
#include "waveform_output.h"

namespace dot11b::cli {

struct OutputOptions {
  std::string out;
  std::string markers;
  std::optional<OutputFormat> format;
  files::SampleEncoding encoding;  // SigMF's sample format and the integer formats' backoff
  std::optional<double> rate;      // [Hz] the file's, when not the frame's own
};

// Takes --out, --markers, --format, --rate, --sigmf-type and --backoff out of args; --params and --set stay
// for the parameters. Throws std::invalid_argument naming the option.
OutputOptions takeOutputOptions(Args& args);

}  // namespace dot11b::cli
