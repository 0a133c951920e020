// SPDX-License-Identifier: GPL-3.0-or-later
#include "sdr/recording.h"

#include <bit>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <stdexcept>

namespace dot11b::sdr {

// SigMF's _le types are the machine's own order on the machines this runs on.
static_assert(std::endian::native == std::endian::little);

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

Recording::Recording(const std::string& base, SampleFormat format)
    : base_(base), datatype_(format == SampleFormat::CF32 ? "cf32_le" : "ci16_le") {
  data_.open(base_ + ".sigmf-data.part", std::ios::binary | std::ios::trunc);
  if (!data_) throw std::runtime_error("cannot write " + base_ + ".sigmf-data");
}

Recording::~Recording() {
  if (finished_) return;
  data_.close();
  std::error_code ignored;
  std::filesystem::remove(base_ + ".sigmf-data.part", ignored);
}

void Recording::append(const NativeSamples& samples, std::size_t n) {
  const char* bytes = static_cast<const char*>(samples.at(0));
  if (samples.format() == SampleFormat::CS8) {
    widened_.resize(2 * n);
    const auto* narrow = static_cast<const std::int8_t*>(samples.at(0));
    for (std::size_t k = 0; k < 2 * n; ++k) widened_[k] = static_cast<std::int16_t>(narrow[k] * 256);
    bytes = reinterpret_cast<const char*>(widened_.data());
  }
  const std::size_t size = n * (samples.format() == SampleFormat::CF32 ? 8 : 4);
  data_.write(bytes, static_cast<std::streamsize>(size));
  samples_ += n;
}

void Recording::markGap() {
  if (gaps_.empty() || gaps_.back() != samples_) gaps_.push_back(samples_);
}

void Recording::finish(const RecordingInfo& info) {
  data_.close();
  if (!data_) throw std::runtime_error("cannot write " + base_ + ".sigmf-data");
  nlohmann::ordered_json meta;
  meta["global"] = {{"core:datatype", datatype_}, {"core:sample_rate", info.sampleRate},
                    {"core:version", "1.2.0"},    {"core:hw", info.hardware},
                    {"core:recorder", "dot11b"},  {"core:description", info.description}};
  meta["captures"] = nlohmann::ordered_json::array(
      {{{"core:sample_start", 0}, {"core:frequency", info.frequency}, {"core:datetime", info.datetime}}});
  for (const std::uint64_t gap : gaps_)
    if (gap > 0) meta["captures"].push_back({{"core:sample_start", gap}, {"core:frequency", info.frequency}});
  meta["annotations"] = nlohmann::ordered_json::array();
  {
    std::ofstream out(base_ + ".sigmf-meta.part", std::ios::trunc);
    out << meta.dump(2) << "\n";
    if (!out.flush()) throw std::runtime_error("cannot write " + base_ + ".sigmf-meta");
  }
  std::filesystem::rename(base_ + ".sigmf-data.part", base_ + ".sigmf-data");
  std::filesystem::rename(base_ + ".sigmf-meta.part", base_ + ".sigmf-meta");
  finished_ = true;
}

RecordReport record(RxStream& stream, Recording& recording, std::uint64_t samples, const std::atomic<bool>& stop) {
  NativeSamples buffer(stream.format().format, stream.mtu());
  std::uint64_t received = 0;
  while (received < samples) {
    const std::uint64_t overflows = stream.overflows();
    const std::size_t n = stream.read(
        buffer, 0, static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), samples - received)), stop);
    if (n == 0) break;
    if (stream.overflows() != overflows) recording.markGap();
    recording.append(buffer, n);
    received += n;
  }
  return {stream.overflows(), received < samples};
}

}  // namespace dot11b::sdr
