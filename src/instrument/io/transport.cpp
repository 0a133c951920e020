#include "instrument/io/transport.h"

#include "instrument/io/bus_error.h"

namespace dot11b::instrio {
namespace {

std::string progress(std::size_t done, std::size_t total) {
  return " (" + std::to_string(done) + " of " + std::to_string(total) + " bytes sent)";
}

// The reply line without its terminator: "\n" or "\r\n".
std::string strip_terminator(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

}  // namespace

void Transport::write_all(std::string_view bytes, const Deadline& deadline, std::string_view what) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const IoResult r = write_some(bytes.data() + sent, bytes.size() - sent, deadline);
    sent += r.count;
    switch (r.event) {
      case IoEvent::Transferred:
        break;
      case IoEvent::TimedOut:
        throw BusError(INSTRIO_TIMED_OUT, address_ + ": sending " + std::string(what) + " did not finish within " +
                                              std::to_string(deadline.budget_ms()) + " ms" +
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
}

std::string Transport::read_line(const Deadline& deadline, std::string_view what) {
  std::size_t searched = 0;
  char buffer[64 * 1024];
  for (;;) {
    const std::size_t newline = unread_.find('\n', searched);
    if (newline != std::string::npos) {
      std::string line = unread_.substr(0, newline + 1);
      unread_.erase(0, newline + 1);
      return strip_terminator(std::move(line));
    }
    searched = unread_.size();
    if (unread_.size() > kMaxReplyBytes) {
      throw BusError(INSTRIO_BUS_ERROR, address_ + ": the reply to " + std::string(what) + " is longer than " +
                                            std::to_string(kMaxReplyBytes) + " bytes");
    }
    const IoResult r = read_some(buffer, sizeof buffer, deadline);
    unread_.append(buffer, r.count);
    switch (r.event) {
      case IoEvent::Transferred:
        if (r.end_of_message) {
          std::string line;
          line.swap(unread_);
          return strip_terminator(std::move(line));
        }
        break;
      case IoEvent::TimedOut:
        throw BusError(INSTRIO_TIMED_OUT, address_ + ": no reply to " + std::string(what) + " within " +
                                              std::to_string(deadline.budget_ms()) + " ms");
      case IoEvent::Closed:
        throw BusError(INSTRIO_CONNECTION_LOST, address_ + ": the connection was closed while waiting for the reply to " +
                                                    std::string(what) + (r.detail.empty() ? "" : ": " + r.detail));
      case IoEvent::Failed:
        throw BusError(INSTRIO_BUS_ERROR,
                       address_ + ": reading the reply to " + std::string(what) + " failed: " + r.detail);
    }
  }
}

void Transport::go_to_local(const Deadline& deadline) {
  // Sockets and serial lines have no bus message for local control; the instrument takes a command.
  write_all(":SYSTem:LOCal\n", deadline, "':SYSTem:LOCal'");
}

}  // namespace dot11b::instrio
