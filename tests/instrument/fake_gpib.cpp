// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in for the linux-gpib user library in tests: the same entry points, carrying each
// device's bytes over a TCP connection to the simulator on 127.0.0.1:$FAKE_GPIB_PORT, and
// appending every device-level call to the file $FAKE_GPIB_TRACE. Without FAKE_GPIB_PORT no
// instrument listens, as on an empty bus.
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#define FAKE_GPIB_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr int kErr = 0x8000, kTimo = 0x4000, kEnd = 0x2000, kCmpl = 0x0100;
constexpr int kEdvr = 0, kEnol = 2, kEabo = 6, kEneb = 7;

struct Device {
  int socket = -1;
  int timeoutMs = 10000;
};
std::map<int, Device> devices;
int nextDevice = 1;
int lastError = 0;
long lastCount = 0;

void trace(const char* format, int a, int b = 0, int c = 0) {
  const char* file = std::getenv("FAKE_GPIB_TRACE");
  if (file == nullptr) return;
  if (FILE* f = std::fopen(file, "a")) {
    std::fprintf(f, format, a, b, c);
    std::fputc('\n', f);
    std::fclose(f);
  }
}

int failure(int error, long count, int extra = 0) {
  lastError = error;
  lastCount = count;
  return kErr | extra;
}

int timeoutMs(int code) {
  static const int ms[] = {0, 1, 1, 1, 1, 1, 3, 10, 30, 100, 300, 1000, 3000, 10000, 30000, 100000, 300000, 1000000};
  return code >= 0 && code <= 17 ? ms[code] : 10000;
}

}  // namespace

FAKE_GPIB_EXPORT int ibdev(int board, int pad, int sad, int timo, int, int) {
  trace("ibdev %d %d %d", board, pad, sad);
  if (board != 0) {
    failure(kEneb, 0);
    return -1;
  }
  Device device;
  device.timeoutMs = timeoutMs(timo);
  if (const char* port = std::getenv("FAKE_GPIB_PORT")) {
    device.socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(std::atoi(port)));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(device.socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      ::close(device.socket);
      device.socket = -1;
    }
  }
  devices[nextDevice] = device;
  return nextDevice++;
}

FAKE_GPIB_EXPORT int ibtmo(int ud, int code) {
  devices[ud].timeoutMs = timeoutMs(code);
  return kCmpl;
}

FAKE_GPIB_EXPORT int ibwrt(int ud, const void* data, long count) {
  const Device& device = devices[ud];
  if (device.socket < 0) return failure(kEnol, 0);
  long sent = 0;
  while (sent < count) {
    const ssize_t n =
        ::send(device.socket, static_cast<const char*>(data) + sent, static_cast<size_t>(count - sent), MSG_NOSIGNAL);
    if (n <= 0) return failure(kEdvr, errno);
    sent += n;
  }
  lastCount = sent;
  return kCmpl;
}

FAKE_GPIB_EXPORT int ibrd(int ud, void* buffer, long count) {
  const Device& device = devices[ud];
  if (device.socket < 0) return failure(kEnol, 0);
  pollfd p{device.socket, POLLIN, 0};
  if (::poll(&p, 1, device.timeoutMs) <= 0) return failure(kEabo, 0, kTimo);
  const ssize_t n = ::recv(device.socket, buffer, static_cast<size_t>(count), 0);
  if (n <= 0) return failure(kEdvr, n == 0 ? ECONNRESET : errno);
  lastCount = n;
  // The instrument asserts EOI with the line feed that ends its reply.
  return kCmpl | (static_cast<char*>(buffer)[n - 1] == '\n' ? kEnd : 0);
}

FAKE_GPIB_EXPORT int ibloc(int ud) {
  trace("ibloc %d", ud);
  return kCmpl;
}

FAKE_GPIB_EXPORT int ibonl(int ud, int online) {
  trace("ibonl %d %d", ud, online);
  if (devices[ud].socket >= 0) ::close(devices[ud].socket);
  devices.erase(ud);
  return kCmpl;
}

FAKE_GPIB_EXPORT int ThreadIberr() { return lastError; }
FAKE_GPIB_EXPORT long ThreadIbcntl() { return lastCount; }
