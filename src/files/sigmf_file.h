// SPDX-License-Identifier: GPL-3.0-or-later
// SigMF recordings (a .sigmf-data file of samples, cf32_le unless asked otherwise, and its .sigmf-meta JSON
// description), the open format that SDR tools read: the one writer of their metadata, for generated
// waveforms and radio recordings alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "files/replacement_set.h"
#include "files/sdr_sample_files.h"
#include "files/waveform_files.h"

namespace dot11b::files {

// A stretch of samples received without a loss.
struct SigmfCapture {
  std::uint64_t sampleStart = 0;
  double frequency = 0;  // the carrier [Hz]
  std::string datetime;  // of its first sample, ISO 8601 in UTC; empty when not known
};

// A frame in the recording.
struct SigmfAnnotation {
  std::size_t sampleStart = 0, sampleCount = 0;
  double lowerEdge = 0, upperEdge = 0;  // [Hz]
  std::string label;
};

struct SigmfMetadata {
  SampleFormat format = SampleFormat::CF32;
  double sampleRate = 0;  // [Hz]
  std::string hardware;   // the radio that received it; empty for a computed waveform
  std::string description;
  std::vector<SigmfCapture> captures;
  std::vector<SigmfAnnotation> annotations;
  // Keys of the "dot11b" extension added to "global" ("dot11b:signals"), each value as JSON text.
  std::vector<std::pair<std::string, std::string>> extensionFields;
};

// The .sigmf-meta file's text.
std::string sigmfMetadataText(const SigmfMetadata& metadata);

// What a generated waveform's metadata says.
struct SigmfDescription {
  double sampleRate = 0;        // [Hz]
  double centerFrequency = 0;   // carrier of the capture [Hz]
  double bandwidth = 0;         // occupied bandwidth around the carrier [Hz], for the annotation's edges
  std::size_t frameStart = 0;   // first sample of the frame
  std::size_t frameLength = 0;  // samples of the frame (0: no annotation)
  std::string label;            // the annotation's label
  std::string description;      // the recording's description
  std::vector<SigmfAnnotation> moreAnnotations;  // after the frame's: the other signals of a composite
  std::vector<std::pair<std::string, std::string>> extensionFields;  // as SigmfMetadata's
};

// The base name without a SigMF extension: "x.sigmf-data", "x.sigmf-meta" and "x.sigmf" all give "x".
std::string sigmfBaseName(const std::string& name);

// Writes base + ".sigmf-data" in the encoding's format (cf32_le, ci16_le or ci8) and base + ".sigmf-meta",
// replaced as one pair (the metadata decides: a reader that finds it finds its whole data). Returns the
// number of samples clipped (integer formats). Throws with the error's text.
std::size_t saveSigmf(const std::string& base, const Samples& waveform, const SigmfDescription& description,
                      const SampleEncoding& encoding = {});
// The same pair added to `files`, the metadata last, for the caller to commit with other files.
std::size_t saveSigmf(ReplacementSet& files, const std::string& base, const Samples& waveform,
                      const SigmfDescription& description, const SampleEncoding& encoding = {});

// The SigMF datatype of a sample format: "ci8", "ci16_le", "cf32_le" or "cf64_le"; empty for a format SigMF
// does not name.
std::string sigmfDatatype(SampleFormat format);
// The sample format of a SigMF datatype, if it is one of those.
std::optional<SampleFormat> sigmfFormat(const std::string& datatype);

}  // namespace dot11b::files
