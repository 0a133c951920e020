// SPDX-License-Identifier: GPL-3.0-or-later
#include "message_framer.h"

#include <algorithm>

namespace sgsim {

std::size_t blockHeaderSize(const std::string& text, std::size_t at, std::size_t& length) {
  if (at + 1 >= text.size()) return std::string::npos;
  const char count = text[at + 1];
  if (count < '1' || count > '9') return 0;  // "#0" (indefinite) and anything else is no definite block
  const std::size_t digits = static_cast<std::size_t>(count - '0');
  if (at + 2 + digits > text.size()) return std::string::npos;
  length = 0;
  for (std::size_t k = 0; k < digits; ++k) {
    const char c = text[at + 2 + k];
    if (c < '0' || c > '9') return 0;
    length = length * 10 + static_cast<std::size_t>(c - '0');
  }
  return 2 + digits;
}

void MessageFramer::feed(const char* data, std::size_t size) { buffer_.append(data, size); }

std::optional<std::string> MessageFramer::nextMessage() {
  while (true) {
    if (blockEnd_ != std::string::npos) {
      if (buffer_.size() < blockEnd_) return std::nullopt;
      scan_ = blockEnd_;
      blockStart_ = blockEnd_ = std::string::npos;
    }
    if (scan_ >= buffer_.size()) return std::nullopt;
    const char c = buffer_[scan_];
    if (c == '\n') {  // ends the message even inside an unterminated string, so nothing hangs
      std::string message = buffer_.substr(0, scan_);
      buffer_.erase(0, scan_ + 1);
      scan_ = 0;
      quote_ = 0;
      return message;
    }
    if (quote_ != 0) {
      if (c == quote_) quote_ = 0;
    } else if (c == '"' || c == '\'') {
      quote_ = c;
    } else if (c == '#') {
      std::size_t length = 0;
      const std::size_t header = blockHeaderSize(buffer_, scan_, length);
      if (header == std::string::npos) return std::nullopt;  // wait for the rest of the header
      if (header > 0) {
        blockStart_ = scan_ + header;
        blockEnd_ = blockStart_ + length;
        continue;
      }
    }
    ++scan_;
  }
}

bool MessageFramer::blockInProgress(std::size_t& received, std::size_t& length) const {
  if (blockEnd_ == std::string::npos) return false;
  length = blockEnd_ - blockStart_;
  received = buffer_.size() > blockStart_ ? buffer_.size() - blockStart_ : 0;
  return true;
}

void MessageFramer::clear() {
  buffer_.clear();
  scan_ = 0;
  quote_ = 0;
  blockStart_ = blockEnd_ = std::string::npos;
}

std::string abbreviateBlocks(const std::string& message) {
  std::string out;
  char quote = 0;
  for (std::size_t i = 0; i < message.size(); ++i) {
    const char c = message[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '#') {
      std::size_t length = 0;
      const std::size_t header = blockHeaderSize(message, i, length);
      if (header != 0 && header != std::string::npos) {
        const std::size_t present = std::min(length, message.size() - (i + header));
        out += message.substr(i, header) + "[" + std::to_string(present) + " bytes]";
        i += header + present - 1;
        continue;
      }
    }
    out += c;
  }
  return out;
}

}  // namespace sgsim
