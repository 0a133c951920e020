// SPDX-License-Identifier: GPL-3.0-or-later
// Time-outs of the bus steps: a base time-out for connecting and for each command and reply, and
// block time-outs scaled to the size of the data.
#pragma once

#include <chrono>
#include <cstddef>

namespace dot11b::instrio {

// Default base time-out [ms], used unless DOT11B_INSTRIO_TIMEOUT_MS names another.
inline constexpr long long kDefaultBaseTimeoutMs = 10000;

// Base time-out for connecting and for each write and read: DOT11B_INSTRIO_TIMEOUT_MS when set
// (a positive whole number of milliseconds, otherwise BusError INSTRIO_BAD_ARGUMENT), else the default.
std::chrono::milliseconds baseTimeout();

// Time-out for moving `bytes` over a bus that sustains at least `minBytesPerSecond` [byte/s]:
// the base time-out plus the time the transfer needs at that rate.
std::chrono::milliseconds blockTimeout(std::size_t bytes, double minBytesPerSecond);

}  // namespace dot11b::instrio
