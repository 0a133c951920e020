// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a computed frame in the file formats of "dot11b generate".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "files/replacement_set.h"
#include "files/sdr_sample_files.h"
#include "files/sigmf_file.h"
#include "phy/frame.h"
#include "runtime/value.h"

namespace dot11b::cli {

enum class OutputFormat { Cf64, Iq16, Mat, Ascii, ComplexMat, Sigmf, Cs8, Cs16, Cf32 };

// "cf64", "iq16", "mat", "ascii", "complex-mat", "sigmf", "cs8", "cs16", "cf32".
std::optional<OutputFormat> parseOutputFormat(std::string_view name);
// From the file name's extension: .cf64, .iq16, .mat, .sigmf / .sigmf-data / .sigmf-meta, .cs8, .cs16, .cf32.
std::optional<OutputFormat> formatFromExtension(std::string_view path);

// The formats that are samples only, with no header or variables: those standard output takes.
bool isRawSamples(OutputFormat format);

// The file name that means standard output.
inline constexpr std::string_view kStandardOutput = "-";

// Writes the frame's waveform, taken at `sampleRate` [Hz], to path (standard output for "-", raw sample
// formats only), its files added to `files` for the caller to commit with the markers; the parameters
// give, for SigMF, the channel and the annotation's label. `encoding` gives SigMF's sample format and the
// integer formats' backoff (cs8, cs16 and cf32 take the sample format they name). Returns the number of
// samples clipped at full scale. Throws with the error's text.
std::size_t writeWaveform(files::ReplacementSet& files, const std::string& path, OutputFormat format,
                          const files::SampleEncoding& encoding, const phy::Frame& frame, double sampleRate,
                          const rt::Value& parameters);

// The same with the SigMF description given, and `matVariables` added to the mat format's variables.
std::size_t writeWaveform(files::ReplacementSet& files, const std::string& path, OutputFormat format,
                          const files::SampleEncoding& encoding, const phy::Frame& frame, double sampleRate,
                          const files::SigmfDescription& sigmf, const rt::MatVariables& matVariables = {});

// What SigMF says of the frame: the channel's carrier, the frame's extent and its label.
files::SigmfDescription sigmfDescription(const phy::Frame& frame, const rt::Value& parameters, double sampleRate);

// Marker row 1, then marker row 2: one byte (0 or 1) per sample, added to `files`.
void writeMarkers(files::ReplacementSet& files, const std::string& path, const phy::Frame& frame);

}  // namespace dot11b::cli
