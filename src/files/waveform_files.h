// SPDX-License-Identifier: GPL-3.0-or-later
// Waveform data files: MAT-files with the computed samples, for other tools to read.
#pragma once

#include <complex>
#include <string>
#include <vector>

#include "runtime/matfile/matfile.h"

namespace dot11b::files {

using Samples = std::vector<std::complex<double>>;

// The Save Wave data file: samplePoints (N), sampleRate [Hz] and wave, N x 2 (column 1 the I samples,
// column 2 the Q samples); then `more` variables, such as a composite's signals.
void saveWaveData(const std::string& filename, const Samples& waveform, double sampleRate,
                  const rt::MatVariables& more = {});
// The special save's "ASCII" choice: samples, N x 2 real (I, Q).
void saveIqColumns(const std::string& filename, const Samples& waveform);
// The special save's "MAT" choice: samples, the complex waveform as a column of N.
void saveComplexColumn(const std::string& filename, const Samples& waveform);

// Each replaces `filename` only once the new file is complete and throws with the error's text.

}  // namespace dot11b::files
