// SPDX-License-Identifier: GPL-3.0-or-later
// SigMF recordings (a .sigmf-data file of cf32_le samples and its .sigmf-meta JSON description), the
// open format that SDR tools read.
#pragma once

#include <cstddef>
#include <string>

#include "files/waveform_files.h"

namespace dot11b::files {

struct SigmfDescription {
  double sampleRate = 0;        // [Hz]
  double centerFrequency = 0;   // carrier of the capture [Hz]
  double bandwidth = 0;         // occupied bandwidth around the carrier [Hz], for the annotation's edges
  std::size_t frameStart = 0;   // first sample of the frame
  std::size_t frameLength = 0;  // samples of the frame (0: no annotation)
  std::string label;            // the annotation's label
  std::string description;      // the recording's description
};

// The base name without a SigMF extension: "x.sigmf-data", "x.sigmf-meta" and "x.sigmf" all give "x".
std::string sigmfBaseName(const std::string& name);

// Writes base + ".sigmf-data" and base + ".sigmf-meta" (each replaced only once complete). Throws with
// the error's text.
void saveSigmf(const std::string& base, const Samples& waveform, const SigmfDescription& description);

}  // namespace dot11b::files
