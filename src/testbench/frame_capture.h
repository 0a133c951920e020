// SPDX-License-Identifier: GPL-3.0-or-later
// The frames a verification finds as a pcapng capture for Wireshark, written one by one as they are
// checked: each frame's PSDU with its rate, preamble, FCS verdict, channel, level and time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "files/pcapng_file.h"
#include "rx/stream/sample_source.h"
#include "rx/verify/verification.h"

namespace dot11b::testbench {

struct FrameCaptureSettings {
  std::uint64_t startNs = 0;            // the capture's first sample [ns since the Unix epoch]
  std::optional<double> frequencyHz;    // the carrier, when known
  double fullScale = 1;                 // a full-scale component in the capture's samples
  std::optional<double> calibrationDb;  // level [dBm] = level [dBFS] + calibrationDb
  bool all = false;                     // frames without a usable PLCP header too, as notes
};

// A frame has a usable header when its CRC holds and it names one of the four rates.
bool usableHeader(const rx::ReceivedFrame& frame);

// The record of frame k of `v`, which has been checked (so that its level is known).
files::PcapngFrame pcapngFrame(const rx::Verification& v, std::size_t k, const FrameCaptureSettings& settings);

// What was received of a frame without a usable header, as the text of a note.
std::string headerNote(const rx::ReceivedFrame& frame);

// Writes frame k of `v` as verifyStream's onFrame hears of it: a frame with a usable header as a record,
// one without as a note when `settings.all`, else nothing. Throws what the writer throws.
void writeFrame(files::PcapngWriter& writer, const rx::Verification& v, std::size_t k,
                const FrameCaptureSettings& settings);

// A live source whose reading ends with files::PcapngReaderGone once the capture's reader has quit, so
// that a radio streaming into a pipe is released then, even when no frame comes to be written.
class ReaderWatchedSource : public rx::SampleSource {
 public:
  ReaderWatchedSource(rx::SampleSource& inner, const files::PcapngWriter& writer) : inner_(inner), writer_(writer) {}
  std::size_t read(Complex* out, std::size_t max) override;
  std::size_t readSamples(rx::Sample* out, std::size_t max) override;

 private:
  void requireReader() const;

  rx::SampleSource& inner_;
  const files::PcapngWriter& writer_;
};

// Every frame of a finished verification (whose PSDUs were kept) as a new pcapng file at `path`, which
// replaces the old one only once whole. Throws files::PcapngError or std::runtime_error naming the file.
void savePcapng(const std::string& path, const rx::Verification& v, const FrameCaptureSettings& settings);

// The interface block's description: what the records' level means.
std::string levelDescription(const FrameCaptureSettings& settings);

}  // namespace dot11b::testbench
