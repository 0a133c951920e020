// SPDX-License-Identifier: GPL-3.0-or-later
// Captures for the receiver, in every waveform format this system writes and in those SDR tools
// record: complex doubles (.cf64) and floats (.cf32), interleaved 16- and 8-bit integers (.cs16, .cs8), the
// signal generator's 16-bit file (.iq16), SigMF recordings (cf64_le, cf32_le, ci16_le, ci8) and the
// waveform MAT-files. A file from an unknown source is checked before it is trusted: a damaged or hostile
// one is refused with a message, never read beyond its own size.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "files/waveform_files.h"
#include "rx/stream/sample_source.h"

namespace dot11b::files {

struct CaptureError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Capture {
  Samples samples;
  std::optional<double> sampleRate;  // [Hz], when the file says it
  std::optional<double> carrier;     // centre frequency [Hz], when the file says it (SigMF)
};

inline constexpr std::uint64_t kMaxCaptureBytes = 2ull << 30;

// The format is told by the extension: .cf64, .cf32, .cs16, .cs8, .iq16, .sigmf-meta / .sigmf-data / .sigmf,
// .mat. Throws CaptureError naming the file and what is wrong with it.
Capture readCapture(const std::string& path, std::uint64_t maxBytes = kMaxCaptureBytes);

// A capture opened to be read block by block, whatever its size: the samples come as the reader asks for
// them (a sample that is not finite ends the reading with a CaptureError). MAT-files, which are not
// written in blocks, are read whole, within kMaxCaptureBytes.
struct OpenedCapture {
  std::unique_ptr<rx::SampleSource> source;
  std::optional<double> sampleRate;  // [Hz], when the file says it
  std::optional<double> carrier;     // centre frequency [Hz], when the file says it (SigMF)
  std::optional<std::uint64_t> startNs;  // the first sample's time [ns since the Unix epoch], when the file
                                         // says it (SigMF core:datetime)
  double fullScale = 1;              // a full-scale component in the source's samples: 32768 for 16-bit integers
};
OpenedCapture openCapture(const std::string& path);

}  // namespace dot11b::files
