// One open connection to the instrument. The bus classes move bytes; this base turns their
// outcomes into whole writes, reply lines and the messages the user sees, all naming the address.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "instrument/io/deadline.h"
#include "instrument/io/instrio.h"

namespace dot11b::instrio {

// What one low-level read or write achieved.
enum class IoEvent { Transferred, TimedOut, Closed, Failed };
struct IoResult {
  IoEvent event = IoEvent::Transferred;
  std::size_t count = 0;        // bytes moved (also for TimedOut, when some moved)
  bool endOfMessage = false;    // the bus marked the end of the reply (GPIB EOI)
  std::string detail;           // the system's reason, for Closed and Failed
};

class Transport {
 public:
  // address: the instrument's address as shown in messages, e.g. "TCPIP0::10.0.0.5::5025::SOCKET".
  explicit Transport(std::string address) : address_(std::move(address)) {}
  virtual ~Transport() = default;
  Transport(const Transport&) = delete;
  Transport& operator=(const Transport&) = delete;

  // Writes every byte of `bytes` before `deadline`. `what` names the data in messages.
  void writeAll(std::string_view bytes, const Deadline& deadline, std::string_view what);
  // Reads one reply line before `deadline` and returns it without its line terminator.
  // `what` names what was asked, for messages.
  std::string readLine(const Deadline& deadline, std::string_view what);
  // Returns the instrument to front-panel control. By default sends ":SYSTem:LOCal".
  virtual void goToLocal(const Deadline& deadline);
  // Slowest transfer rate expected while the instrument takes a block [byte/s].
  virtual double minBytesPerSecond() const = 0;

  const std::string& address() const { return address_; }

 protected:
  // Moves at least one byte unless the deadline passes or the bus fails.
  virtual IoResult writeSome(const char* data, std::size_t size, const Deadline& deadline) = 0;
  virtual IoResult readSome(char* buffer, std::size_t capacity, const Deadline& deadline) = 0;

 private:
  std::string address_;
  std::string unread_;  // bytes received after the last reply line
};

// Longest reply line accepted [bytes]; a longer reply is a fault of the peer, not data to keep.
inline constexpr std::size_t kMaxReplyBytes = 16u << 20;

}  // namespace dot11b::instrio
