// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a computed frame in the file formats of "dot11b generate".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "phy/frame.h"
#include "runtime/value.h"

namespace dot11b::cli {

enum class OutputFormat { Cf64, Iq16, Mat, Ascii, ComplexMat, Sigmf };

// "cf64", "iq16", "mat", "ascii", "complex-mat", "sigmf".
std::optional<OutputFormat> parseOutputFormat(std::string_view name);
// From the file name's extension: .cf64, .iq16, .mat, .sigmf / .sigmf-data / .sigmf-meta.
std::optional<OutputFormat> formatFromExtension(std::string_view path);

// The file name that means standard output.
inline constexpr std::string_view kStandardOutput = "-";

// Writes the frame's waveform to path (standard output for "-", cf64 or iq16 only) (each file replaced only once complete); the parameters give the
// sampling rate (11 MHz x OverSampling) and, for SigMF, the channel and the annotation's label. Throws
// with the error's text.
void writeWaveform(const std::string& path, OutputFormat format, const phy::Frame& frame, const rt::Value& parameters);

// Marker row 1, then marker row 2: one byte (0 or 1) per sample.
void writeMarkers(const std::string& path, const phy::Frame& frame);

}  // namespace dot11b::cli
