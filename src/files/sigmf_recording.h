// SPDX-License-Identifier: GPL-3.0-or-later
// A SigMF recording of what a radio receives, written as it comes (a capture need never fit in memory):
// the samples in base.sigmf-data, the description in base.sigmf-meta once the capture ends. Until then the
// samples go to a temporary file beside it, so that an earlier recording of the name stays whole until the
// new one is.
#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "files/safe_save.h"
#include "phy/samples/sample_formats.h"

namespace dot11b::files {

struct RecordingInfo {
  double sampleRate = 0;  // [Hz]
  double frequency = 0;   // the radio's centre frequency [Hz]
  std::string hardware;   // the radio, as found
  std::string datetime;   // of the first sample, ISO 8601 in UTC
  std::string description;
};

// The time now as SigMF writes it: "2024-05-01T12:34:56.789Z".
std::string utcNow();

class Recording {
 public:
  // Samples of `format` are kept as the radio gives them: CF32 as cf32_le, CS16 as ci16_le, and CS8 as
  // ci16_le times 256 (a full-scale 8-bit sample is a full-scale 16-bit one). Throws std::runtime_error
  // when the file cannot be made.
  Recording(const std::string& base, phy::SampleFormat format);
  // A recording never finished is removed.
  ~Recording();
  Recording(const Recording&) = delete;
  Recording& operator=(const Recording&) = delete;

  void append(const phy::NativeSamples& samples, std::size_t n);
  // Samples were lost before the next one: a new capture segment starts there.
  void markGap();
  // Writes the description and puts the files in place. Throws std::runtime_error when a write fails.
  void finish(const RecordingInfo& info);

  std::uint64_t samples() const { return samples_; }
  std::string datatype() const;

 private:
  std::string base_;
  phy::SampleFormat stored_;
  std::unique_ptr<ReplacementFile> file_;
  std::ofstream data_;
  std::vector<std::int16_t> widened_;
  std::vector<std::uint64_t> gaps_;  // samples at which a segment starts after a loss
  std::uint64_t samples_ = 0;
};

}  // namespace dot11b::files
