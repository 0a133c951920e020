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
std::chrono::milliseconds base_timeout();

// Time-out for moving `bytes` over a bus that sustains at least `min_bytes_per_second` [byte/s]:
// the base time-out plus the time the transfer needs at that rate.
std::chrono::milliseconds block_timeout(std::size_t bytes, double min_bytes_per_second);

}  // namespace dot11b::instrio
