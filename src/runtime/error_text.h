// SPDX-License-Identifier: GPL-3.0-or-later
// What a user reads of a failure: the exception's own message, except for the standard library's failures,
// whose texts ("std::bad_alloc", "vector::_M_default_append") name its internals rather than the problem.
#pragma once

#include <new>
#include <stdexcept>
#include <string>

namespace dot11b::rt {

inline std::string userMessage(const std::exception& e) {
  if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr) return "not enough memory for this work";
  if (dynamic_cast<const std::length_error*>(&e) != nullptr) return "the data would be larger than memory can hold";
  return e.what();
}

}  // namespace dot11b::rt
