// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/io/transports/serial_libserialport.h"

#include <libserialport.h>

#include "instrument/io/bus_error.h"

namespace dot11b::instrio {
namespace {

// The reason of the last failed libserialport call.
std::string spReason(sp_return rc) {
  switch (rc) {
    case SP_ERR_ARG: return "invalid argument";
    case SP_ERR_MEM: return "out of memory";
    case SP_ERR_SUPP: return "not supported by this port";
    case SP_ERR_FAIL: {
      char* message = sp_last_error_message();
      std::string text = message != nullptr ? message : "system error";
      sp_free_error_message(message);
      return text;
    }
    default: return "error " + std::to_string(static_cast<int>(rc));
  }
}

struct PortDeleter {
  void operator()(sp_port* port) const {
    sp_close(port);
    sp_free_port(port);
  }
};
using PortHandle = std::unique_ptr<sp_port, PortDeleter>;

class LibserialportTransport final : public Transport {
 public:
  LibserialportTransport(const SerialSettings& settings, PortHandle port)
      : Transport(serialAddress(settings)), port_(std::move(port)), baud_(settings.baud) {}
  double minBytesPerSecond() const override { return serialMinBytesPerSecond(baud_); }

 protected:
  // A zero time-out means "wait forever" to libserialport, so an expired deadline is handled here.
  IoResult writeSome(const char* data, std::size_t size, const Deadline& deadline) override {
    const int left = deadline.remainingMs();
    if (left == 0) return {IoEvent::TimedOut, 0, false, {}};
    const sp_return rc = sp_blocking_write(port_.get(), data, size, static_cast<unsigned>(left));
    if (rc < 0) return {IoEvent::Failed, 0, false, spReason(rc)};
    const auto written = static_cast<std::size_t>(rc);
    return {written < size ? IoEvent::TimedOut : IoEvent::Transferred, written, false, {}};
  }

  IoResult readSome(char* buffer, std::size_t capacity, const Deadline& deadline) override {
    const int left = deadline.remainingMs();
    if (left == 0) return {IoEvent::TimedOut, 0, false, {}};
    const sp_return rc = sp_blocking_read_next(port_.get(), buffer, capacity, static_cast<unsigned>(left));
    if (rc < 0) return {IoEvent::Failed, 0, false, spReason(rc)};
    if (rc == 0) return {IoEvent::TimedOut, 0, false, {}};
    return {IoEvent::Transferred, static_cast<std::size_t>(rc), false, {}};
  }

 private:
  PortHandle port_;
  int baud_;
};

sp_flowcontrol flowControl(Handshake handshake) {
  switch (handshake) {
    case Handshake::XonXoff: return SP_FLOWCONTROL_XONXOFF;
    case Handshake::RtsCts: return SP_FLOWCONTROL_RTSCTS;
    case Handshake::None: break;
  }
  return SP_FLOWCONTROL_NONE;
}

}  // namespace

std::unique_ptr<Transport> openWithLibserialport(const SerialSettings& settings) {
  sp_port* found = nullptr;
  if (sp_get_port_by_name(settings.device.c_str(), &found) != SP_OK) return nullptr;
  PortHandle port(found);
  const auto fail = [&](const char* step, sp_return rc) {
    throw BusError(INSTRIO_CONNECT_FAILED, serialAddress(settings) + ": " + step + ": " + spReason(rc));
  };
  if (const sp_return rc = sp_open(port.get(), SP_MODE_READ_WRITE); rc != SP_OK) {
    // sp_close of a port that never opened fails harmlessly in the deleter.
    fail("cannot open the serial port", rc);
  }
  if (const sp_return rc = sp_set_baudrate(port.get(), settings.baud); rc != SP_OK)
    fail("cannot set the baud rate", rc);
  if (const sp_return rc = sp_set_bits(port.get(), 8); rc != SP_OK) fail("cannot set 8 data bits", rc);
  if (const sp_return rc = sp_set_parity(port.get(), SP_PARITY_NONE); rc != SP_OK) fail("cannot set no parity", rc);
  if (const sp_return rc = sp_set_stopbits(port.get(), 1); rc != SP_OK) fail("cannot set 1 stop bit", rc);
  if (const sp_return rc = sp_set_flowcontrol(port.get(), flowControl(settings.handshake)); rc != SP_OK) {
    fail("cannot set the handshake", rc);
  }
  // Replies left over from an earlier, interrupted exchange must not pass for the next reply.
  if (const sp_return rc = sp_flush(port.get(), SP_BUF_INPUT); rc != SP_OK) fail("cannot discard stale input", rc);
  return std::make_unique<LibserialportTransport>(settings, std::move(port));
}

}  // namespace dot11b::instrio
