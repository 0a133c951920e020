// SPDX-License-Identifier: GPL-3.0-or-later
// Calls into the library through its exported C interface, as any host program does.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dot11b/Dot11b_c_lib.h"
#include "runtime/value.h"

namespace dot11b::cli {

dot11b_array* toHandle(const rt::Value& v);
rt::Value fromHandle(const dot11b_array* a);

// Calls a routine by name with nargout results. Throws std::runtime_error with the library's message
// when the call fails.
std::vector<rt::Value> callRoutine(const char* routine, const std::vector<rt::Value>& inputs, int nargout);

// Opens a plot view by its routine off screen (no window appears, no display is needed) and exports it: the
// plot to `png` at width x height, its data to `csv` when given. False when the view declined to draw (it
// said why). Throws std::runtime_error when a call fails.
bool drawOffscreen(const char* routine, const std::vector<rt::Value>& inputs, const std::string& png,
                   const std::string& csv, int width, int height);

// Owns the library's initialization for the life of a command.
class LibrarySession {
 public:
  LibrarySession();
  ~LibrarySession();
  LibrarySession(const LibrarySession&) = delete;
  LibrarySession& operator=(const LibrarySession&) = delete;
};

}  // namespace dot11b::cli
