// SPDX-License-Identifier: GPL-3.0-or-later
// The linux-gpib user library (libgpib.so.0), loaded at run time so that the module runs on
// machines without it. Loaded once per file name and kept for the life of the process.
#pragma once

#include <string>

namespace dot11b::instrio {

// Entry points of the driver library (names and signatures of linux-gpib's ib.h).
struct GpibDriver {
  std::string file;  // the library file as loaded, for messages
  int (*ibdev)(int boardIndex, int pad, int sad, int timo, int sendEoi, int eosmode) = nullptr;
  int (*ibwrt)(int ud, const void* data, long count) = nullptr;
  int (*ibrd)(int ud, void* buffer, long count) = nullptr;
  int (*ibtmo)(int ud, int timeoutCode) = nullptr;
  int (*ibloc)(int ud) = nullptr;
  int (*ibonl)(int ud, int online) = nullptr;
  int (*iberr)() = nullptr;    // ThreadIberr: error code of the last failed call
  long (*ibcntl)() = nullptr;  // ThreadIbcntl: bytes moved by the last call (errno after EDVR)
};

// ibsta bits (linux-gpib).
inline constexpr int kGpibStatusError = 0x8000;    // ERR
inline constexpr int kGpibStatusTimeout = 0x4000;  // TIMO
inline constexpr int kGpibStatusEnd = 0x2000;      // END: EOI or end-of-string seen
// iberr codes used in decisions (linux-gpib).
inline constexpr int kGpibErrorSystem = 0;   // EDVR: system error, ibcntl holds errno
inline constexpr int kGpibErrorAborted = 6;  // EABO: I/O aborted, as on a time-out

// Default driver file; DOT11B_GPIB_LIBRARY names another.
inline constexpr const char* kGpibLibraryFile = "libgpib.so.0";

// The loaded driver. Throws BusError INSTRIO_NO_DRIVER, with a text that says how to install it,
// when the library cannot be loaded or lacks an entry point.
const GpibDriver& gpibDriver();

// Text of an iberr code, e.g. "ENOL: no listeners on the bus".
std::string gpibErrorText(int iberr, long ibcntl);

// Smallest linux-gpib time-out code (T10us .. T1000s) covering `ms` milliseconds.
int gpibTimeoutCode(int ms);

}  // namespace dot11b::instrio
