// SPDX-License-Identifier: GPL-3.0-or-later
// One open connection to the instrument. The bus classes move bytes; this base turns their
// outcomes into whole writes, reply lines and the messages the user sees, all naming the address.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "instrument/io/instrio.h"
#include "instrument/io/transports/deadline.h"

namespace dot11b::instrio {

// Reports the bytes written of a transfer and tells whether to go on (the caller's progress callback).
// While the module only waits (to connect, for a reply), it reports 0 of 0 bytes to hear a cancel.
class TransferObserver {
 public:
  // offset: bytes of the transfer written before this write; total: bytes of the whole transfer.
  TransferObserver(instrio_progress_fn fn, void* context, std::uint64_t offset, std::uint64_t total)
      : fn_(fn), context_(context), offset_(offset), total_(total) {}
  // False when the caller asks to stop.
  bool report(std::uint64_t written) const { return fn_(context_, offset_ + written, total_) == 0; }
  std::uint64_t offset() const { return offset_; }
  std::uint64_t total() const { return total_; }

 private:
  instrio_progress_fn fn_;
  void* context_;
  std::uint64_t offset_, total_;
};

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

  // Writes every byte of `bytes` before `deadline`. `what` names the data in messages. With an observer,
  // progress is reported at least every 100 ms and a cancel ends the write with INSTRIO_CANCELLED.
  void writeAll(std::string_view bytes, const Deadline& deadline, std::string_view what,
                const TransferObserver* observer = nullptr);
  // Reads one reply line before `deadline` and returns it without its line terminator.
  // `what` names what was asked, for messages. With an observer, a cancel is heard while no reply comes
  // and ends the wait with INSTRIO_CANCELLED.
  std::string readLine(const Deadline& deadline, std::string_view what, const TransferObserver* observer = nullptr);
  // Returns the instrument to front-panel control. By default sends ":SYSTem:LOCal".
  virtual void goToLocal(const Deadline& deadline);
  // Whether goToLocal() sends a command, which the instrument may refuse as any other (a bus message
  // cannot be refused).
  virtual bool localIsCommand() const { return true; }
  // Slowest transfer rate expected while the instrument takes a block [byte/s].
  virtual double minBytesPerSecond() const = 0;
  // Whether a write or a wait for a reply may be split into steps of kWaitStep, so that progress can be
  // reported and a cancel heard in between. A bus that ends a message with each write and breaks off a
  // reply at a time-out (GPIB) writes a block and waits for a reply in one driver call.
  virtual bool waitsInSteps() const { return true; }

  const std::string& address() const { return address_; }

 protected:
  // Moves at least one byte unless the deadline passes or the bus fails.
  virtual IoResult writeSome(const char* data, std::size_t size, const Deadline& deadline) = 0;
  virtual IoResult readSome(char* buffer, std::size_t capacity, const Deadline& deadline) = 0;

 private:
  std::string address_;
  std::string unread_;  // bytes received after the last reply line
};

// Longest wait between two reports of progress, or two checks for a cancel.
inline constexpr std::chrono::milliseconds kWaitStep{100};

// Longest reply line accepted [bytes]; a longer reply is a fault of the peer, not data to keep.
inline constexpr std::size_t kMaxReplyBytes = 16u << 20;

}  // namespace dot11b::instrio
