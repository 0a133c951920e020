// SPDX-License-Identifier: GPL-3.0-or-later
// The part of MAT-file I/O that needs the MAT-file library, built as a module of its own
// (libDot11b_matfile.so) and opened with the first file (see matfile.h, which checks every file's bytes
// before they reach it). Errors cross as text: each function returns false with the message in `error`.
#pragma once

#include <string>
#include <string_view>

#include "runtime/matfile/matfile.h"
#include "runtime/shared_api.h"

namespace dot11b::rt {

constexpr int kMatFileCodecVersion = 1;

struct MatFileCodec {
  int version;
  // Parses bytes that checkMatFileBytes has accepted.
  bool (*parse)(std::string_view bytes, MatVariables& variables, std::string& error);
  // Writes the variables in order, creating or truncating the file.
  bool (*write)(const std::string& path, const MatVariables& variables, std::string& error);
};

}  // namespace dot11b::rt

// The module's one entry.
extern "C" DOT11B_MODULE_ENTRY const dot11b::rt::MatFileCodec* dot11b_matfile_codec();
