// SPDX-License-Identifier: GPL-3.0-or-later
// The signal generator's 16-bit waveform file: headerless signed 16-bit I and Q values, most significant
// byte first, I of sample 0, Q of sample 0, I of sample 1, ... (4 bytes per sample, no markers).
#pragma once

#include <complex>
#include <cstdint>
#include <string>
#include <vector>

#include "instrument/io/sample_encoding.h"

namespace dot11b::files {

// File written when no name is given, in the current folder.
inline constexpr const char* kDefaultIq16FileName = "ZEL-C";
// The instrument's sample layout: the largest magnitude and the lowest scale.
constexpr double kIq16FullScale = instrio::kFullScale;
constexpr double kIq16LowestScale = instrio::kLowestScale;

// The file's bytes. scale: fraction of full scale, limited to 0.00001 .. 1 (NaN counts as 1). The
// interleaved I/Q values are scaled so that the largest magnitude becomes 32766 x scale, unless every
// component has the same magnitude (an all-zero waveform included): then they are only rounded (halves
// away from zero). Throws std::invalid_argument for a sample that is not finite, or for unscaled values
// outside -32768 .. 32767, which 16 bits cannot hold.
std::vector<std::uint8_t> encodeIq16(const std::vector<std::complex<double>>& samples, double scale);

struct Iq16SaveResult {
  bool success = false;
  std::string error;  // why nothing was written; empty on success
};

// Writes the file (replacing `filename` only once all 4N bytes are on disk). Never throws.
Iq16SaveResult saveIq16File(const std::string& filename, const std::vector<std::complex<double>>& samples,
                            double scale = 1);

}  // namespace dot11b::files
