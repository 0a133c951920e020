// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/io/transports/gpib_transport.h"

#include "instrument/io/bus_error.h"
#include "instrument/io/transports/gpib_driver.h"

namespace dot11b::instrio {
namespace {

// GPIB moves about 1 Mbyte/s; this only bounds a stalled transfer.
constexpr double kMinGpibBytesPerSecond = 100e3;
// linux-gpib takes secondary addresses as 0x60 + address; 0 means none.
constexpr int kSecondaryAddressBase = 0x60;

class GpibTransport final : public Transport {
 public:
  GpibTransport(const GpibSettings& settings, const GpibDriver& driver, int device)
      : Transport(gpibAddress(settings)), driver_(driver), device_(device) {}
  ~GpibTransport() override { driver_.ibonl(device_, 0); }
  double minBytesPerSecond() const override { return kMinGpibBytesPerSecond; }
  // Each driver write ends the message (EOI): a block goes out in one. A read that times out breaks
  // off the instrument's reply: it waits in one.
  bool waitsInSteps() const override { return false; }

  bool localIsCommand() const override { return false; }
  void goToLocal(const Deadline& deadline) override {
    driver_.ibtmo(device_, gpibTimeoutCode(deadline.remainingMs()));
    if (driver_.ibloc(device_) & kGpibStatusError) {
      throw BusError(INSTRIO_BUS_ERROR, address() + ": return to local failed: " +
                                            gpibErrorText(driver_.iberr(), driver_.ibcntl()));
    }
  }

 protected:
  IoResult writeSome(const char* data, std::size_t size, const Deadline& deadline) override {
    const int left = deadline.remainingMs();
    if (left == 0) return {IoEvent::TimedOut, 0, false, {}};
    driver_.ibtmo(device_, gpibTimeoutCode(left));
    const int status = driver_.ibwrt(device_, data, static_cast<long>(size));
    return outcome(status, false);
  }

  IoResult readSome(char* buffer, std::size_t capacity, const Deadline& deadline) override {
    const int left = deadline.remainingMs();
    if (left == 0) return {IoEvent::TimedOut, 0, false, {}};
    driver_.ibtmo(device_, gpibTimeoutCode(left));
    const int status = driver_.ibrd(device_, buffer, static_cast<long>(capacity));
    return outcome(status, (status & kGpibStatusEnd) != 0);
  }

 private:
  IoResult outcome(int status, bool end) const {
    const long count = driver_.ibcntl();
    const std::size_t moved = count > 0 ? static_cast<std::size_t>(count) : 0;
    if (!(status & kGpibStatusError)) return {IoEvent::Transferred, moved, end, {}};
    const int error = driver_.iberr();
    if (error == kGpibErrorAborted || (status & kGpibStatusTimeout)) return {IoEvent::TimedOut, moved, false, {}};
    return {IoEvent::Failed, error == kGpibErrorSystem ? 0 : moved, false, gpibErrorText(error, count)};
  }

  const GpibDriver& driver_;
  int device_;
};

void checkRange(const char* name, int value, int low, int high, const char* note) {
  if (value < low || value > high) {
    throw BusError(INSTRIO_BAD_ARGUMENT, std::string("instrIO: GPIB ") + name + " " + std::to_string(value) +
                                             " is outside " + std::to_string(low) + " to " + std::to_string(high) +
                                             note);
  }
}

}  // namespace

std::string gpibAddress(const GpibSettings& settings) {
  std::string text = "GPIB" + std::to_string(settings.board) + "::" + std::to_string(settings.primary);
  if (settings.secondary >= 0) text += "::" + std::to_string(settings.secondary);
  return text + "::INSTR";
}

std::unique_ptr<Transport> openGpib(const GpibSettings& settings, const Deadline& deadline) {
  checkRange("board", settings.board, 0, 15, "");
  checkRange("primary address", settings.primary, 0, 30, "");
  if (settings.secondary != -1) checkRange("secondary address", settings.secondary, 0, 30, " (or -1 for none)");

  const GpibDriver& driver = [&]() -> const GpibDriver& {
    try {
      return gpibDriver();
    } catch (const BusError& e) {
      throw BusError(e.status(), gpibAddress(settings) + ": " + e.what());
    }
  }();
  const int secondary = settings.secondary < 0 ? 0 : kSecondaryAddressBase + settings.secondary;
  const int device = driver.ibdev(settings.board, settings.primary, secondary,
                                  gpibTimeoutCode(deadline.remainingMs()), 1 /* EOI on last byte */,
                                  0 /* replies end with EOI, not a character */);
  if (device < 0) {
    throw BusError(INSTRIO_CONNECT_FAILED, gpibAddress(settings) + ": cannot open the device: " +
                                               gpibErrorText(driver.iberr(), driver.ibcntl()));
  }
  return std::make_unique<GpibTransport>(settings, driver, device);
}

}  // namespace dot11b::instrio
