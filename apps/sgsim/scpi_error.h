// SPDX-License-Identifier: GPL-3.0-or-later
// An error of the SCPI error queue: a standard error number and its text.
#pragma once

#include <stdexcept>
#include <string>

namespace sgsim {

class ScpiError : public std::runtime_error {
 public:
  // code: SCPI error number (negative, IEEE 488.2 / SCPI-99 chapter 21); text: e.g. "Undefined header".
  ScpiError(int code, const std::string& text) : std::runtime_error(text), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

}  // namespace sgsim
