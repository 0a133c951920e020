// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/callback_text.h"

#include <cctype>

namespace dot11b::qt {

namespace {

// Reads the text piece by piece, skipping blanks between the pieces.
class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  bool literal(std::string_view piece) {
    skipBlanks();
    if (text_.substr(pos_, piece.size()) != piece) return false;
    pos_ += piece.size();
    return true;
  }
  std::optional<std::string> name() {
    skipBlanks();
    const std::size_t start = pos_;
    while (pos_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_')) ++pos_;
    if (pos_ == start || std::isdigit(static_cast<unsigned char>(text_[start]))) return std::nullopt;
    return std::string(text_.substr(start, pos_ - start));
  }
  bool atEnd() {
    skipBlanks();
    return pos_ == text_.size();
  }

 private:
  void skipBlanks() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
  }
  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

std::optional<CallbackCall> parseCallback(std::string_view text) {
  Reader r(text);
  CallbackCall call;
  const auto module = r.name();
  if (!module || !r.literal("(") || !r.literal("'")) return std::nullopt;
  const auto sub = r.name();
  if (!sub || !r.literal("'") || !r.literal(",") || !r.literal("gcbo") || !r.literal(",") || !r.literal("[") ||
      !r.literal("]") || !r.literal(",") || !r.literal("guidata") || !r.literal("(") || !r.literal("gcbo") ||
      !r.literal(")") || !r.literal(")")) {
    return std::nullopt;
  }
  r.literal(";");
  if (!r.atEnd()) return std::nullopt;
  return CallbackCall{*module, *sub};
}

}  // namespace dot11b::qt
