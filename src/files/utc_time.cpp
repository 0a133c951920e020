// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/utc_time.h"

#include <chrono>
#include <ctime>

namespace dot11b::files {

namespace {

// `digits` decimal digits at `at`, moving past them.
std::optional<int> number(std::string_view text, std::size_t& at, std::size_t digits) {
  if (at + digits > text.size()) return std::nullopt;
  int value = 0;
  for (std::size_t k = 0; k < digits; ++k, ++at) {
    const char c = text[at];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

bool expect(std::string_view text, std::size_t& at, char c) { return at < text.size() && text[at++] == c; }

}  // namespace

std::optional<std::uint64_t> parseUtcTime(std::string_view text) {
  std::size_t at = 0;
  const auto year = number(text, at, 4);
  if (!year || !expect(text, at, '-')) return std::nullopt;
  const auto month = number(text, at, 2);
  if (!month || !expect(text, at, '-')) return std::nullopt;
  const auto day = number(text, at, 2);
  if (!day || !expect(text, at, 'T')) return std::nullopt;
  const auto hour = number(text, at, 2);
  if (!hour || !expect(text, at, ':')) return std::nullopt;
  const auto minute = number(text, at, 2);
  if (!minute || !expect(text, at, ':')) return std::nullopt;
  const auto second = number(text, at, 2);
  if (!second) return std::nullopt;
  std::uint64_t nanoseconds = 0;
  if (at < text.size() && text[at] == '.') {
    std::uint64_t scale = 100'000'000;
    for (++at; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at, scale /= 10)
      nanoseconds += static_cast<std::uint64_t>(text[at] - '0') * scale;
  }
  const std::string_view zone = text.substr(at);
  if (zone != "Z" && zone != "+00:00") return std::nullopt;
  if (*year < 1970 || *month < 1 || *month > 12 || *day < 1 || *day > 31 || *hour > 23 || *minute > 59 || *second > 60)
    return std::nullopt;
  std::tm fields{};
  fields.tm_year = *year - 1900;
  fields.tm_mon = *month - 1;
  fields.tm_mday = *day;
  fields.tm_hour = *hour;
  fields.tm_min = *minute;
  fields.tm_sec = *second;
  const std::time_t seconds = ::timegm(&fields);
  if (seconds < 0) return std::nullopt;
  return static_cast<std::uint64_t>(seconds) * 1'000'000'000ull + nanoseconds;
}

std::uint64_t nowNs() {
  const auto since = std::chrono::system_clock::now().time_since_epoch();
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(since).count());
}

}  // namespace dot11b::files
