// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/io/transports/tcp_transport.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "instrument/io/bus_error.h"
#include "instrument/io/transports/poll_wait.h"
#include "instrument/io/transports/unique_fd.h"

namespace dot11b::instrio {
namespace {

// Loopback and LAN instruments take blocks far faster; this only bounds a stalled transfer.
constexpr double kMinLanBytesPerSecond = 100e3;

bool isConnectionLoss(int error) {
  return error == EPIPE || error == ECONNRESET || error == ECONNABORTED || error == ENOTCONN;
}

constexpr int kSendBufferBytes = 256 * 1024;

class TcpTransport final : public Transport {
 public:
  TcpTransport(std::string address, UniqueFd socket) : Transport(std::move(address)), socket_(std::move(socket)) {
    // A send buffer of fixed, moderate size: far more than a LAN needs to run at full speed, yet small
    // enough that the progress reported is what the instrument took, and that a cancel leaves little in
    // flight. (The system's own sizing grows it to megabytes.)
    const int bytes = kSendBufferBytes;
    ::setsockopt(socket_.get(), SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes);
  }
  double minBytesPerSecond() const override { return kMinLanBytesPerSecond; }

 protected:
  IoResult writeSome(const char* data, std::size_t size, const Deadline& deadline) override {
    short revents = 0;
    if (!waitReady(socket_.get(), POLLOUT, deadline, revents)) return {IoEvent::TimedOut, 0, false, {}};
    const ssize_t n = ::send(socket_.get(), data, size, MSG_NOSIGNAL);
    if (n >= 0) return {IoEvent::Transferred, static_cast<std::size_t>(n), false, {}};
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return {IoEvent::Transferred, 0, false, {}};
    return {isConnectionLoss(errno) ? IoEvent::Closed : IoEvent::Failed, 0, false, std::strerror(errno)};
  }

  IoResult readSome(char* buffer, std::size_t capacity, const Deadline& deadline) override {
    short revents = 0;
    if (!waitReady(socket_.get(), POLLIN, deadline, revents)) return {IoEvent::TimedOut, 0, false, {}};
    const ssize_t n = ::recv(socket_.get(), buffer, capacity, 0);
    if (n > 0) return {IoEvent::Transferred, static_cast<std::size_t>(n), false, {}};
    if (n == 0) return {IoEvent::Closed, 0, false, {}};
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return {IoEvent::Transferred, 0, false, {}};
    return {isConnectionLoss(errno) ? IoEvent::Closed : IoEvent::Failed, 0, false, std::strerror(errno)};
  }

 private:
  UniqueFd socket_;
};

// Waits for the connection on `fd` to be answered; false when the deadline passed first. With an
// observer, waits in steps and throws BusError INSTRIO_CANCELLED when the caller cancels.
bool waitConnected(int fd, const Deadline& deadline, const TransferObserver* observer, const std::string& address) {
  short revents = 0;
  if (observer == nullptr) return waitReady(fd, POLLOUT, deadline, revents);
  while (!waitReady(fd, POLLOUT, deadline.within(kWaitStep), revents)) {
    if (deadline.expired()) return false;
    if (!observer->report(0)) throw BusError(INSTRIO_CANCELLED, address + ": cancelled while connecting");
  }
  return true;
}

// One connection attempt; returns the connected socket, or -1 with `reason` set.
UniqueFd tryConnect(const addrinfo& ai, const Deadline& deadline, std::string& reason, const TransferObserver* observer,
                    const std::string& address) {
  UniqueFd fd(::socket(ai.ai_family, ai.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai.ai_protocol));
  if (!fd.valid()) { reason = std::strerror(errno); return UniqueFd(); }
  if (::connect(fd.get(), ai.ai_addr, ai.ai_addrlen) != 0) {
    if (errno != EINPROGRESS) { reason = std::strerror(errno); return UniqueFd(); }
    if (!waitConnected(fd.get(), deadline, observer, address)) {
      reason = "no answer within " + std::to_string(deadline.budgetMs()) + " ms";
      return UniqueFd();
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
    if (error != 0) { reason = std::strerror(error); return UniqueFd(); }
  }
  const int on = 1;  // commands are short lines; send each at once
  ::setsockopt(fd.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return fd;
}

}  // namespace

std::unique_ptr<Transport> openTcp(const TcpEndpoint& endpoint, int board, const Deadline& deadline,
                                   const TransferObserver* observer) {
  // IPv6 addresses are bracketed so that their colons stay apart from the separators.
  const std::string host = endpoint.host.find(':') == std::string::npos ? endpoint.host : "[" + endpoint.host + "]";
  const std::string address =
      "TCPIP" + std::to_string(board) + "::" + host + "::" + std::to_string(endpoint.port) + "::SOCKET";
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* found = nullptr;
  // Names are resolved by the system resolver, within its own configured time-outs.
  const int rc = ::getaddrinfo(endpoint.host.c_str(), std::to_string(endpoint.port).c_str(), &hints, &found);
  if (rc != 0) {
    throw BusError(INSTRIO_CONNECT_FAILED,
                   address + ": cannot resolve host '" + endpoint.host + "': " + ::gai_strerror(rc));
  }
  const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> addresses(found, &::freeaddrinfo);
  std::string reason = "no address";
  UniqueFd connected;
  for (const addrinfo* ai = found; ai != nullptr && !connected.valid(); ai = ai->ai_next) {
    connected = tryConnect(*ai, deadline, reason, observer, address);
  }
  if (!connected.valid()) throw BusError(INSTRIO_CONNECT_FAILED, address + ": cannot connect: " + reason);
  return std::make_unique<TcpTransport>(address, std::move(connected));
}

}  // namespace dot11b::instrio
