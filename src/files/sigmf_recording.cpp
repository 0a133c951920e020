// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/sigmf_recording.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <stdexcept>
#include <system_error>

#include "files/sigmf_file.h"

namespace dot11b::files {

namespace {

// Room the description takes beyond its own bytes when the disk is full: the file system's blocks and
// the folder's entry.
constexpr std::size_t kDescriptionSlack = 64 * 1024;

// Writes n bytes to fd; returns how many went in (all of them, unless errno says why not).
std::size_t writeAll(int fd, const char* bytes, std::size_t n) {
  std::size_t done = 0;
  while (done < n) {
    const ssize_t k = ::write(fd, bytes + done, n - done);
    if (k > 0) {
      done += static_cast<std::size_t>(k);
    } else if (k == 0) {
      errno = ENOSPC;  // a file that takes nothing, without saying why, is full
      break;
    } else if (errno != EINTR) {
      break;
    }
  }
  return done;
}

bool diskFull(int error) { return error == ENOSPC || error == EDQUOT || error == EFBIG; }

// The description, written whole to a new file beside base.sigmf-meta; throws with errno's cause.
std::unique_ptr<ReplacementFile> writeDescription(const std::string& target, const std::string& text) {
  auto file = std::make_unique<ReplacementFile>(target);
  const int fd = ::open(file->path().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) throw std::system_error(errno, std::generic_category(), "cannot write " + target);
  const bool whole = writeAll(fd, text.data(), text.size()) == text.size();
  const int error = errno;
  if (::close(fd) != 0 && whole) throw std::system_error(errno, std::generic_category(), "cannot write " + target);
  if (!whole) throw std::system_error(error, std::generic_category(), "cannot write " + target);
  return file;
}

}  // namespace

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
  fd_ = ::open(file_->path().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd_ < 0) throw std::runtime_error("cannot write " + base_ + ".sigmf-data: " + std::strerror(errno));
}

Recording::~Recording() {
  if (fd_ >= 0) ::close(fd_);
}

std::string Recording::datatype() const { return sigmfDatatype(stored_); }

bool Recording::append(const phy::NativeSamples& samples, std::size_t n) {
  if (!error_.empty()) return false;
  const char* bytes = static_cast<const char*>(samples.at(0));
  if (samples.format() == phy::SampleFormat::CS8) {
    widened_.resize(2 * n);
    const auto* narrow = static_cast<const std::int8_t*>(samples.at(0));
    for (std::size_t k = 0; k < 2 * n; ++k) widened_[k] = static_cast<std::int16_t>(narrow[k] * 256);
    bytes = reinterpret_cast<const char*>(widened_.data());
  }
  const std::size_t size = phy::sampleBytes(stored_);
  const std::size_t written = writeAll(fd_, bytes, n * size);
  if (written == n * size) {
    samples_ += n;
    return true;
  }
  error_ = std::strerror(errno);
  keepSamples(samples_ + written / size);
  return false;
}

void Recording::keepSamples(std::uint64_t samples) {
  samples_ = samples;
  // A device or a pipe has no length to cut: there is nothing to do then.
  if (::ftruncate(fd_, static_cast<off_t>(samples * phy::sampleBytes(stored_))) != 0) return;
  ::lseek(fd_, 0, SEEK_END);
}

void Recording::markGap() {
  if (gaps_.empty() || gaps_.back() != samples_) gaps_.push_back(samples_);
}

std::string Recording::metadataText(const RecordingInfo& info) const {
  const std::string cutShort = error_.empty() ? info.cutShort : error_;
  SigmfMetadata meta{stored_,
                     info.sampleRate,
                     info.hardware,
                     info.description + (cutShort.empty() ? "" : "; cut short: " + cutShort),
                     {{0, info.frequency, info.datetime}},
                     {},
                     {}};
  for (const std::uint64_t gap : gaps_)
    if (gap > 0 && gap < samples_) meta.captures.push_back({gap, info.frequency, ""});
  return sigmfMetadataText(meta);
}

void Recording::finish(const RecordingInfo& info) {
  const std::string metaName = base_ + ".sigmf-meta";
  std::unique_ptr<ReplacementFile> meta;
  try {
    meta = writeDescription(metaName, metadataText(info));
  } catch (const std::system_error& e) {
    if (!diskFull(e.code().value()) || samples_ == 0) throw std::runtime_error(e.what());
    // No room for the description: the samples make it, for a shorter recording whole rather than none.
    if (error_.empty()) error_ = std::strerror(e.code().value());
    const std::uint64_t room = (metadataText(info).size() + kDescriptionSlack + phy::sampleBytes(stored_) - 1) /
                               phy::sampleBytes(stored_);
    keepSamples(samples_ - std::min(samples_, room));
    try {
      meta = writeDescription(metaName, metadataText(info));
    } catch (const std::system_error& again) {
      throw std::runtime_error(again.what());
    }
  }
  const int closed = ::close(fd_);
  fd_ = -1;
  if (closed != 0) throw std::runtime_error("cannot write " + base_ + ".sigmf-data: " + std::strerror(errno));
  file_->commit();
  meta->commit();
}

}  // namespace dot11b::files
