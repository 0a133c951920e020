// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/sigmf_recording.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <stdexcept>

#include "files/sigmf_file.h"

namespace dot11b::files {

std::string utcNow() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900, utc.tm_mon + 1,
                utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<int>(millis));
  return text;
}

Recording::Recording(const std::string& base, phy::SampleFormat format)
    : base_(base),
      stored_(format == phy::SampleFormat::CF32 ? phy::SampleFormat::CF32 : phy::SampleFormat::CS16),
      file_(std::make_unique<ReplacementFile>(base + ".sigmf-data")) {
  data_.open(file_->path(), std::ios::binary | std::ios::trunc);
  if (!data_) throw std::runtime_error("cannot write " + base_ + ".sigmf-data");
}

Recording::~Recording() = default;

std::string Recording::datatype() const { return sigmfDatatype(stored_); }

void Recording::append(const phy::NativeSamples& samples, std::size_t n) {
  const char* bytes = static_cast<const char*>(samples.at(0));
  if (samples.format() == phy::SampleFormat::CS8) {
    widened_.resize(2 * n);
    const auto* narrow = static_cast<const std::int8_t*>(samples.at(0));
    for (std::size_t k = 0; k < 2 * n; ++k) widened_[k] = static_cast<std::int16_t>(narrow[k] * 256);
    bytes = reinterpret_cast<const char*>(widened_.data());
  }
  data_.write(bytes, static_cast<std::streamsize>(n * phy::sampleBytes(stored_)));
  samples_ += n;
}

void Recording::markGap() {
  if (gaps_.empty() || gaps_.back() != samples_) gaps_.push_back(samples_);
}

void Recording::finish(const RecordingInfo& info) {
  data_.close();
  if (!data_) throw std::runtime_error("cannot write " + base_ + ".sigmf-data");
  SigmfMetadata meta{stored_, info.sampleRate, info.hardware, info.description, {{0, info.frequency, info.datetime}}, {}};
  for (const std::uint64_t gap : gaps_)
    if (gap > 0) meta.captures.push_back({gap, info.frequency, ""});
  file_->commit();
  saveBytes(base_ + ".sigmf-meta", sigmfMetadataText(meta));
}

}  // namespace dot11b::files
