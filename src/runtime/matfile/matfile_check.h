// SPDX-License-Identifier: GPL-3.0-or-later
// A structural check of level 5 MAT-file bytes before any MAT-file library parses them: a file from an
// unknown source must not make the reader crash, hang or allocate far beyond the file's own size.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string_view>

namespace dot11b::rt {

// A file that cannot be read as a level 5 MAT-file; the message says why.
struct MatFileError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct MatReadLimits {
  std::uint64_t maxFileBytes = 64ull << 20;      // whole file [bytes]
  std::uint64_t maxInflatedBytes = 256ull << 20; // all compressed variables together, once inflated [bytes]
  int maxDepth = 16;                             // nesting of records and cell lists
};

// Accepts only what the reader can take safely: the level 5 header (either byte order); top-level
// elements that are arrays or compressed arrays, ending exactly at the end of the file; every array with
// flags, 2 to 8 dimensions, a name and data of the size its dimensions require (numeric, logical, text,
// records of one element per field with distinct non-empty field names, cell lists); no sparse arrays,
// objects or function handles. Every element count is bounded by the bytes that hold it, so reading
// allocates at most a small multiple of the (inflated) file size. Throws MatFileError.
void checkMatFileBytes(std::string_view bytes, const MatReadLimits& limits);

}  // namespace dot11b::rt
