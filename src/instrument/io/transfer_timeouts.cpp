// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/io/transfer_timeouts.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

#include "instrument/io/bus_error.h"

namespace dot11b::instrio {

std::chrono::milliseconds baseTimeout() {
  const char* text = std::getenv("DOT11B_INSTRIO_TIMEOUT_MS");
  if (text == nullptr || *text == '\0') return std::chrono::milliseconds(kDefaultBaseTimeoutMs);
  errno = 0;
  char* end = nullptr;
  const long long ms = std::strtoll(text, &end, 10);
  if (errno != 0 || *end != '\0' || ms <= 0 || ms > 24LL * 3600 * 1000) {
    throw BusError(INSTRIO_BAD_ARGUMENT, "instrIO: DOT11B_INSTRIO_TIMEOUT_MS='" + std::string(text) +
                                             "' is not a whole number of milliseconds from 1 to 86400000");
  }
  return std::chrono::milliseconds(ms);
}

std::chrono::milliseconds blockTimeout(std::size_t bytes, double minBytesPerSecond) {
  const double transferMs = 1000.0 * static_cast<double>(bytes) / minBytesPerSecond;
  return baseTimeout() + std::chrono::milliseconds(static_cast<long long>(std::ceil(transferMs)));
}

}  // namespace dot11b::instrio
