// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/io/transports/serial_tty.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "instrument/io/bus_error.h"
#include "instrument/io/transports/poll_wait.h"
#include "instrument/io/transports/unique_fd.h"

namespace dot11b::instrio {
namespace {

struct BaudCode {
  int baud;
  speed_t code;
};
constexpr BaudCode kBaudCodes[] = {
    {50, B50},         {75, B75},         {110, B110},         {134, B134},         {150, B150},
    {200, B200},       {300, B300},       {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

// A hang-up of the other end shows as EIO on terminals.
bool isHangUp(int error) { return error == EIO || error == ENXIO || error == EPIPE; }

class TtyTransport final : public Transport {
 public:
  TtyTransport(const SerialSettings& settings, UniqueFd fd)
      : Transport(serialAddress(settings)), fd_(std::move(fd)), baud_(settings.baud) {}
  double minBytesPerSecond() const override { return serialMinBytesPerSecond(baud_); }

 protected:
  IoResult writeSome(const char* data, std::size_t size, const Deadline& deadline) override {
    short revents = 0;
    if (!waitReady(fd_.get(), POLLOUT, deadline, revents)) return {IoEvent::TimedOut, 0, false, {}};
    const ssize_t n = ::write(fd_.get(), data, size);
    if (n >= 0) return {IoEvent::Transferred, static_cast<std::size_t>(n), false, {}};
    if (errno == EAGAIN || errno == EINTR) return {IoEvent::Transferred, 0, false, {}};
    return {isHangUp(errno) ? IoEvent::Closed : IoEvent::Failed, 0, false, std::strerror(errno)};
  }

  IoResult readSome(char* buffer, std::size_t capacity, const Deadline& deadline) override {
    short revents = 0;
    if (!waitReady(fd_.get(), POLLIN, deadline, revents)) return {IoEvent::TimedOut, 0, false, {}};
    const ssize_t n = ::read(fd_.get(), buffer, capacity);
    if (n > 0) return {IoEvent::Transferred, static_cast<std::size_t>(n), false, {}};
    if (n == 0) return {IoEvent::Closed, 0, false, "the device hung up"};
    if (errno == EAGAIN || errno == EINTR) return {IoEvent::Transferred, 0, false, {}};
    return {isHangUp(errno) ? IoEvent::Closed : IoEvent::Failed, 0, false, std::strerror(errno)};
  }

 private:
  UniqueFd fd_;
  int baud_;
};

}  // namespace

std::unique_ptr<Transport> openTty(const SerialSettings& settings) {
  const auto fail = [&](const std::string& step) {
    throw BusError(INSTRIO_CONNECT_FAILED, serialAddress(settings) + ": " + step);
  };
  speed_t speed = B0;
  for (const BaudCode& entry : kBaudCodes) {
    if (entry.baud == settings.baud) speed = entry.code;
  }
  if (speed == B0) fail("baud rate " + std::to_string(settings.baud) + " is not a standard rate of this device");

  UniqueFd fd(::open(settings.device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fd.valid()) fail(std::string("cannot open the serial port: ") + std::strerror(errno));
  termios tio{};
  if (::tcgetattr(fd.get(), &tio) != 0) fail(std::string("not a serial device: ") + std::strerror(errno));
  ::cfmakeraw(&tio);  // 8 data bits, no parity, no translation of line ends or block bytes
  tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
  tio.c_cflag |= CLOCAL | CREAD | CS8;
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  if (settings.handshake == Handshake::XonXoff) tio.c_iflag |= IXON | IXOFF;
  if (settings.handshake == Handshake::RtsCts) tio.c_cflag |= CRTSCTS;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0 || ::tcsetattr(fd.get(), TCSANOW, &tio) != 0) {
    fail(std::string("cannot set up the serial port: ") + std::strerror(errno));
  }
  // Replies left over from an earlier, interrupted exchange must not pass for the next reply.
  ::tcflush(fd.get(), TCIFLUSH);
  return std::make_unique<TtyTransport>(settings, std::move(fd));
}

}  // namespace dot11b::instrio
