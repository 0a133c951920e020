// SPDX-License-Identifier: GPL-3.0-or-later
// Parses one program message into program units: header, query flag and parameters.
#pragma once

#include <string>
#include <vector>

namespace sgsim {

struct Parameter {
  enum class Kind { Token, String, Block };
  Kind kind = Kind::Token;
  std::string value;  // token text (trimmed), string contents (quotes removed), or block bytes
};

struct ProgramUnit {
  std::string header;  // as received, without a trailing '?' (e.g. ":source:freq:fix", "*IDN")
  bool query = false;
  std::vector<Parameter> parameters;
};

// Splits the message at ';' (outside strings and blocks) and parses every unit. Throws ScpiError:
// -102 "Syntax error" for a unit without a valid header, -151 "Invalid string data" for an
// unterminated string, -161 "Invalid block data" when a block's stated length does not match the
// bytes that follow it.
std::vector<ProgramUnit> parseMessage(const std::string& message);

}  // namespace sgsim
