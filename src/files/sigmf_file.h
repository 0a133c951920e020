// SPDX-License-Identifier: GPL-3.0-or-later
// SigMF recordings (a .sigmf-data file of samples, cf32_le unless asked otherwise, and its .sigmf-meta JSON
// description), the open format that SDR tools read.
#pragma once

#include <cstddef>
#include <string>

#include "files/sdr_sample_files.h"
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

// Writes base + ".sigmf-data" in the encoding's format (cf32_le, ci16_le or ci8) and base + ".sigmf-meta"
// (each replaced only once complete). Returns the number of samples clipped (integer formats). Throws with
// the error's text.
std::size_t saveSigmf(const std::string& base, const Samples& waveform, const SigmfDescription& description,
                      const SampleEncoding& encoding = {});

// The SigMF datatype of a sample format: "ci8", "ci16_le" or "cf32_le".
const char* sigmfDatatype(SampleFormat format);

}  // namespace dot11b::files
