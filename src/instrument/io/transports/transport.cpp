// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/io/transports/transport.h"

#include "instrument/io/bus_error.h"

#include <algorithm>
#include <chrono>

namespace dot11b::instrio {
namespace {

// A write in steps moves at most this much, waiting at most kWaitStep.
constexpr std::size_t kStepBytes = 64 * 1024;

std::string progress(std::size_t done, std::size_t total) {
  return " (" + std::to_string(done) + " of " + std::to_string(total) + " bytes sent)";
}

// The reply line without its terminator: "\n" or "\r\n".
std::string stripTerminator(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

}  // namespace

void Transport::writeAll(std::string_view bytes, const Deadline& given, std::string_view what,
                         const TransferObserver* observer) {
  const bool inSteps = observer != nullptr && waitsInSteps();
  Deadline deadline = given;
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    if (observer != nullptr && !observer->report(sent)) {
      throw BusError(INSTRIO_CANCELLED,
                     "Waveform transfer cancelled after " + std::to_string(observer->offset() + sent) + " of " +
                         std::to_string(observer->total()) + " bytes; the instrument did not take the waveform");
    }
    // In steps: each write returns within a short time, so that progress is heard even on a stalled bus.
    const std::size_t size = inSteps ? std::min(bytes.size() - sent, kStepBytes) : bytes.size() - sent;
    const IoResult r = writeSome(bytes.data() + sent, size, inSteps ? deadline.within(kWaitStep) : deadline);
    sent += r.count;
    if (r.count > 0) deadline.moved();
    switch (r.event) {
      case IoEvent::Transferred:
        break;
      case IoEvent::TimedOut:
        if (!deadline.expired()) break;  // only the step ended, or bytes moved just before it
        if (deadline.countsFromLastByte()) {
          throw BusError(INSTRIO_TIMED_OUT, address_ + ": sending " + std::string(what) +
                                                " stalled: nothing moved for " + std::to_string(deadline.budgetMs()) +
                                                " ms" + progress(sent, bytes.size()));
        }
        throw BusError(INSTRIO_TIMED_OUT, address_ + ": sending " + std::string(what) + " did not finish within " +
                                              std::to_string(deadline.budgetMs()) + " ms" +
                                              progress(sent, bytes.size()));
      case IoEvent::Closed:
        throw BusError(INSTRIO_CONNECTION_LOST, address_ + ": the connection was closed while sending " +
                                                    std::string(what) + progress(sent, bytes.size()) +
                                                    (r.detail.empty() ? "" : ": " + r.detail));
      case IoEvent::Failed:
        throw BusError(INSTRIO_BUS_ERROR, address_ + ": sending " + std::string(what) + " failed" +
                                              progress(sent, bytes.size()) + ": " + r.detail);
    }
  }
  if (observer != nullptr) observer->report(sent);
}

std::string Transport::readLine(const Deadline& deadline, std::string_view what, const TransferObserver* observer) {
  const bool inSteps = observer != nullptr && waitsInSteps();
  std::size_t searched = 0;
  char buffer[64 * 1024];
  for (;;) {
    const std::size_t newline = unread_.find('\n', searched);
    if (newline != std::string::npos) {
      std::string line = unread_.substr(0, newline + 1);
      unread_.erase(0, newline + 1);
      return stripTerminator(std::move(line));
    }
    searched = unread_.size();
    if (unread_.size() > kMaxReplyBytes) {
      throw BusError(INSTRIO_BUS_ERROR, address_ + ": the reply to " + std::string(what) + " is longer than " +
                                            std::to_string(kMaxReplyBytes) + " bytes");
    }
    const IoResult r = readSome(buffer, sizeof buffer, inSteps ? deadline.within(kWaitStep) : deadline);
    unread_.append(buffer, r.count);
    switch (r.event) {
      case IoEvent::Transferred:
        if (r.endOfMessage) {
          std::string line;
          line.swap(unread_);
          return stripTerminator(std::move(line));
        }
        break;
      case IoEvent::TimedOut:
        if (inSteps && !deadline.expired()) {  // only the step ended
          if (!observer->report(0)) {
            throw BusError(INSTRIO_CANCELLED,
                           address_ + ": cancelled while waiting for the reply to " + std::string(what));
          }
          break;
        }
        throw BusError(INSTRIO_TIMED_OUT, address_ + ": no reply to " + std::string(what) + " within " +
                                              std::to_string(deadline.budgetMs()) + " ms");
      case IoEvent::Closed:
        throw BusError(INSTRIO_CONNECTION_LOST, address_ +
                                                    ": the connection was closed while waiting for the reply to " +
                                                    std::string(what) + (r.detail.empty() ? "" : ": " + r.detail));
      case IoEvent::Failed:
        throw BusError(INSTRIO_BUS_ERROR,
                       address_ + ": reading the reply to " + std::string(what) + " failed: " + r.detail);
    }
  }
}

void Transport::goToLocal(const Deadline& deadline) {
  // Sockets and serial lines have no bus message for local control; the instrument takes a command.
  writeAll(":SYSTem:LOCal\n", deadline, "':SYSTem:LOCal'");
}

}  // namespace dot11b::instrio
