// SPDX-License-Identifier: GPL-3.0-or-later
#include "scpi_parser.h"

#include <cctype>

#include "message_framer.h"
#include "scpi_error.h"

namespace sgsim {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool isHeaderChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == ':' || c == '*' || c == '_';
}

class UnitReader {
 public:
  explicit UnitReader(const std::string& text) : text_(text) {}

  bool atEnd() const { return pos_ >= text_.size(); }

  // Reads one unit up to ';' or the end; consumes the ';'.
  ProgramUnit readUnit() {
    ProgramUnit unit;
    skipBlanks();
    const std::size_t start = pos_;
    while (!atEnd() && isHeaderChar(text_[pos_])) ++pos_;
    unit.header = text_.substr(start, pos_ - start);
    if (!atEnd() && text_[pos_] == '?') {
      unit.query = true;
      ++pos_;
    }
    if (unit.header.empty() || unit.header == ":" || unit.header.back() == ':') throw ScpiError(-102, "Syntax error");
    if (!atEnd() && !isBlank(text_[pos_]) && text_[pos_] != ';') throw ScpiError(-102, "Syntax error");
    skipBlanks();
    while (!atEnd() && text_[pos_] != ';') {
      unit.parameters.push_back(readParameter());
      skipBlanks();
      if (atEnd() || text_[pos_] == ';') break;
      if (text_[pos_] != ',') throw ScpiError(-102, "Syntax error");
      ++pos_;
      skipBlanks();
      if (atEnd() || text_[pos_] == ';') throw ScpiError(-109, "Missing parameter");
    }
    if (!atEnd()) ++pos_;  // the ';'
    return unit;
  }

 private:
  void skipBlanks() {
    while (!atEnd() && isBlank(text_[pos_])) ++pos_;
  }

  Parameter readParameter() {
    const char c = text_[pos_];
    if (c == '"' || c == '\'') return readString(c);
    if (c == '#') {
      std::size_t length = 0;
      const std::size_t header = blockHeaderSize(text_, pos_, length);
      if (header != 0) return readBlock(header, length);
    }
    Parameter token;
    const std::size_t start = pos_;
    while (!atEnd() && text_[pos_] != ',' && text_[pos_] != ';') ++pos_;
    std::size_t end = pos_;
    while (end > start && isBlank(text_[end - 1])) --end;
    token.value = text_.substr(start, end - start);
    return token;
  }

  Parameter readString(char quote) {
    Parameter string{Parameter::Kind::String, {}};
    ++pos_;
    while (true) {
      if (atEnd()) throw ScpiError(-151, "Invalid string data");
      const char c = text_[pos_++];
      if (c != quote) {
        string.value += c;
      } else if (!atEnd() && text_[pos_] == quote) {  // a doubled quote stands for one
        string.value += c;
        ++pos_;
      } else {
        return string;
      }
    }
  }

  Parameter readBlock(std::size_t header, std::size_t length) {
    if (header == std::string::npos || pos_ + header + length > text_.size()) {
      throw ScpiError(-161, "Invalid block data;fewer bytes than the block length states");
    }
    Parameter block{Parameter::Kind::Block, text_.substr(pos_ + header, length)};
    pos_ += header + length;
    // After the stated length only a separator or the end may follow; anything else means the
    // sender's length and its data disagree.
    if (!atEnd() && !isBlank(text_[pos_]) && text_[pos_] != ',' && text_[pos_] != ';') {
      throw ScpiError(-161, "Invalid block data;more bytes than the block length states");
    }
    return block;
  }

  const std::string& text_;
  std::size_t pos_ = 0;
};

}  // namespace

std::vector<ProgramUnit> parseMessage(const std::string& message) {
  std::vector<ProgramUnit> units;
  UnitReader reader(message);
  while (!reader.atEnd()) units.push_back(reader.readUnit());
  return units;
}

}  // namespace sgsim
