// SPDX-License-Identifier: GPL-3.0-or-later
// Splits the byte stream of a connection into program messages, each ended by a line feed.
// Definite-length blocks (#<digits><length><bytes>) are taken whole, whatever bytes they hold.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace sgsim {

class MessageFramer {
 public:
  void feed(const char* data, std::size_t size);
  // The next complete message without its line feed, or nothing until more bytes arrive.
  std::optional<std::string> nextMessage();
  // While a block is being received: its length and the bytes of it received so far.
  bool blockInProgress(std::size_t& received, std::size_t& length) const;
  // Bytes received that do not yet form a complete message.
  std::size_t pendingBytes() const { return buffer_.size(); }
  void clear();

 private:
  std::string buffer_;
  std::size_t scan_ = 0;                       // bytes of buffer_ already scanned
  char quote_ = 0;                             // open quote character while inside a string
  std::size_t blockStart_ = std::string::npos;  // first payload byte of the block being received
  std::size_t blockEnd_ = std::string::npos;    // one past its last payload byte
};

// Size of the header of a definite-length block at `text[at]` ('#'), or 0 when there is none
// there; `length` receives the payload length. Returns npos when the header is incomplete.
std::size_t blockHeaderSize(const std::string& text, std::size_t at, std::size_t& length);

// The message with every block's bytes replaced by "[N bytes]", for the command log.
std::string abbreviateBlocks(const std::string& message);

}  // namespace sgsim
