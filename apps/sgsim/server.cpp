// SPDX-License-Identifier: GPL-3.0-or-later
#include "server.h"

#include <algorithm>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace sgsim {
namespace {

// Read size while --drop-in-block is set: small enough that a block of a few hundred bytes (a frame of
// a hundred samples) arrives in several reads.
constexpr std::size_t kDropReadBytes = 64;

[[noreturn]] void fail(const std::string& what) { throw std::runtime_error(what + ": " + std::strerror(errno)); }

int boundPort(int fd) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) fail("getsockname");
  if (address.ss_family == AF_INET6) return ntohs(reinterpret_cast<sockaddr_in6*>(&address)->sin6_port);
  return ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
}

// Writes everything, waiting while the peer's buffer is full; false when the peer is gone.
bool writeAll(int fd, const std::string& bytes, bool isSocket) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = isSocket ? ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL)
                               : ::write(fd, bytes.data() + sent, bytes.size() - sent);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
    } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
      pollfd p{fd, POLLOUT, 0};
      ::poll(&p, 1, 1000);
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

Server::Server(const SimOptions& options, Instrument& instrument) : options_(options), instrument_(instrument) {
  if (!options.logFile.empty()) {
    log_.open(options.logFile, std::ios::trunc);
    if (!log_) throw std::runtime_error("cannot write the log file " + options.logFile);
  }
  if (options.port >= 0) openListener();
  if (options.pty) openPty();
  std::printf("ready\n");
  std::fflush(stdout);
}

Server::~Server() {
  closeClient(false);
  for (const int fd : {listener_, pty_.fd, ptySlave_}) {
    if (fd >= 0) ::close(fd);
  }
}

void Server::openListener() {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICHOST | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const int rc = ::getaddrinfo(options_.bindAddress.c_str(), std::to_string(options_.port).c_str(), &hints, &found);
  if (rc != 0) throw std::runtime_error("bad --bind address " + options_.bindAddress + ": " + ::gai_strerror(rc));
  listener_ = ::socket(found->ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int on = 1;
  const bool bound = listener_ >= 0 && ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0 &&
                     ::bind(listener_, found->ai_addr, found->ai_addrlen) == 0;
  ::freeaddrinfo(found);
  if (!bound) fail("cannot take port " + std::to_string(options_.port));
  if (options_.readRate > 0 || options_.stallInBlock) {
    // Small buffers (inherited by accepted connections), so that a slow or stalled reader holds up the
    // sender at once.
    const int bytes = 16 * 1024;
    ::setsockopt(listener_, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
  }
  // With --refuse the port stays taken but nothing listens, so connections are refused.
  if (!options_.refuse && ::listen(listener_, 8) != 0) fail("listen");
  std::printf("port %d\n", boundPort(listener_));
}

void Server::openPty() {
  pty_.fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (pty_.fd < 0 || ::grantpt(pty_.fd) != 0 || ::unlockpt(pty_.fd) != 0) fail("cannot create a pseudo-terminal");
  char device[128];
  if (::ptsname_r(pty_.fd, device, sizeof device) != 0) fail("ptsname");
  termios tio{};
  if (::tcgetattr(pty_.fd, &tio) == 0) {
    ::cfmakeraw(&tio);  // no echo and no line-end translation until a client sets the line up
    ::tcsetattr(pty_.fd, TCSANOW, &tio);
  }
  ptySlave_ = ::open(device, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (ptySlave_ < 0) fail("cannot open " + std::string(device));
  std::printf("pty %s\n", device);
}

void Server::run() {
  for (;;) {
    std::vector<pollfd> fds;
    const bool accepting = listener_ >= 0 && !options_.refuse && client_.fd < 0;
    if (accepting) fds.push_back({listener_, POLLIN, 0});
    if (client_.fd >= 0 && !stalled_) fds.push_back({client_.fd, POLLIN, 0});
    if (pty_.fd >= 0) fds.push_back({pty_.fd, POLLIN, 0});
    if (::poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      fail("poll");
    }
    for (const pollfd& p : fds) {
      if (p.revents == 0) continue;
      if (p.fd == listener_) acceptClient();
      else if (p.fd == client_.fd) serve(client_);
      else if (p.fd == pty_.fd) serve(pty_);
    }
  }
}

void Server::acceptClient() {
  const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) return;  // the client gave up before it was taken
  client_.fd = fd;
  client_.isSocket = true;
  client_.framer.clear();
}

void Server::closeClient(bool reset) {
  if (client_.fd < 0) return;
  if (reset) {  // abortive close: the peer sees a reset, as when an instrument breaks the link
    const linger abortClose{1, 0};
    ::setsockopt(client_.fd, SOL_SOCKET, SO_LINGER, &abortClose, sizeof abortClose);
  }
  if (client_.framer.pendingBytes() > 0) {
    std::fprintf(stderr, "dot11b-sgsim: connection ended with %zu bytes of an unfinished command discarded\n",
                 client_.framer.pendingBytes());
  }
  ::close(client_.fd);
  client_.fd = -1;
  client_.framer.clear();
}

void Server::serve(Channel& channel) {
  char buffer[64 * 1024];
  // A slow line: reads of a tenth of a second's worth, each followed by that tenth of a second.
  // To break a connection in the middle of a block, even of a block small enough to arrive in one piece,
  // the bytes are taken in small reads.
  std::size_t chunk = sizeof buffer;
  if (options_.readRate > 0)
    chunk = std::clamp<std::size_t>(static_cast<std::size_t>(options_.readRate / 10), 1, chunk);
  if (options_.dropInBlock || options_.stallInBlock) chunk = std::min<std::size_t>(chunk, kDropReadBytes);
  const ssize_t n = ::read(channel.fd, buffer, chunk);
  if (options_.readRate > 0 && n > 0) {
    std::this_thread::sleep_for(std::chrono::microseconds(1000000LL * n / options_.readRate));
  }
  if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
  if (n <= 0) {
    if (channel.isSocket) closeClient(false);
    return;
  }
  channel.framer.feed(buffer, static_cast<std::size_t>(n));
  std::size_t received = 0;
  std::size_t length = 0;
  if (options_.dropInBlock && channel.isSocket && channel.framer.blockInProgress(received, length) &&
      2 * received >= length && received < length) {
    std::fprintf(stderr, "dot11b-sgsim: fault: dropping the connection after %zu of %zu block bytes\n", received,
                 length);
    closeClient(true);
    return;
  }
  if (options_.stallInBlock && channel.isSocket && channel.framer.blockInProgress(received, length) &&
      2 * received >= length && received < length) {
    std::fprintf(stderr, "dot11b-sgsim: fault: no longer answering after %zu of %zu block bytes\n", received, length);
    stalled_ = true;
    return;
  }
  while (const auto message = channel.framer.nextMessage()) {
    if (log_.is_open()) log_ << abbreviateBlocks(*message) << std::endl;
    const auto answer = instrument_.handle(*message);
    if (answer && !options_.silent) reply(channel, *answer);
  }
}

void Server::reply(Channel& channel, const std::string& line) {
  if (options_.replyDelayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(options_.replyDelayMs));
  if (!writeAll(channel.fd, line + "\n", channel.isSocket) && channel.isSocket) closeClient(false);
}

}  // namespace sgsim
