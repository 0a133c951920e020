// SPDX-License-Identifier: GPL-3.0-or-later
// A SigMF recording of what a radio receives, written as it comes (a capture need never fit in memory):
// the samples in base.sigmf-data, the description in base.sigmf-meta once the capture ends. Until then the
// samples go to a temporary file beside it, so that an earlier recording of the name stays whole until the
// new one is. A disk that fills up ends the samples there: what it took is kept, in whole samples, and the
// recording is closed with its description all the same (a capture cut short is still a capture).
#pragma once

#include <cstdint>
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
  std::string cutShort;  // why the samples end before their time (the radio's failure); empty when they do not
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

  // Appends n samples. False when the file took only part of them (a full disk): the whole samples it
  // took stay, error() says why, and nothing more goes in.
  bool append(const phy::NativeSamples& samples, std::size_t n);
  // Samples were lost before the next one: a new capture segment starts there.
  void markGap();
  // Writes the description and puts both files in place, the samples first. When the disk has no room
  // left for the description, the samples give up as much of their end as it needs. The description
  // says why the samples end early (error(), or info.cutShort). Throws std::runtime_error naming the file
  // and the cause when a file cannot be written or put in place.
  void finish(const RecordingInfo& info);

  std::uint64_t samples() const { return samples_; }
  std::string datatype() const;
  // Why the samples stopped going in ("No space left on device"); empty while nothing failed.
  const std::string& error() const { return error_; }

 private:
  std::string metadataText(const RecordingInfo& info) const;
  // Cuts the samples back to `samples`.
  void keepSamples(std::uint64_t samples);

  std::string base_;
  phy::SampleFormat stored_;
  std::unique_ptr<ReplacementFile> file_;
  int fd_ = -1;
  std::vector<std::int16_t> widened_;
  std::vector<std::uint64_t> gaps_;  // samples at which a segment starts after a loss
  std::uint64_t samples_ = 0;
  std::string error_;
};

}  // namespace dot11b::files
