// SPDX-License-Identifier: GPL-3.0-or-later
#include "sdr/streams.h"

#include <SoapySDR/Device.hpp>
#include <SoapySDR/Errors.hpp>
#include <algorithm>
#include <string>

#include "sdr/radio_error.h"

namespace dot11b::sdr {

namespace {

constexpr long kCallWaitUs = std::chrono::duration_cast<std::chrono::microseconds>(kCallWait).count();

}  // namespace

RadioStream::RadioStream(Radio& radio, Direction direction, StreamFormat format) : radio_(radio), format_(format) {
  SoapySDR::Device& device = radio_.device();
  try {
    stream_ = device.setupStream(soapyDirection(direction), std::string(formatName(format.format)), {radio.channel()});
  } catch (const std::exception& e) {
    throw RadioError(radio_.name() + " could not open its stream in " + std::string(formatName(format.format)) + ": " +
                     e.what());
  }
  // The destructor does not run for a stream that fails to start: it is closed here.
  int code = 0;
  try {
    mtu_ = std::max<std::size_t>(1, device.getStreamMTU(stream_));
    code = device.activateStream(stream_);
  } catch (const std::exception& e) {
    device.closeStream(stream_);
    throw RadioError(radio_.name() + " could not start its stream: " + e.what());
  }
  if (code != 0) {
    device.closeStream(stream_);
    failed("starting its stream", code);
  }
  moved();
}

RadioStream::~RadioStream() {
  try {
    radio_.device().deactivateStream(stream_);
    radio_.device().closeStream(stream_);
  } catch (...) {
    // A radio that fails while its stream closes has nothing left to give back.
  }
}

void RadioStream::nothingMoved(const char* doing) {
  if (std::chrono::steady_clock::now() - lastMoved_ >= kStallLimit)
    throw RadioError(radio_.name() + " stopped " + doing + ": nothing moved for " +
                     std::to_string(kStallLimit.count()) + " s");
}

void RadioStream::failed(const char* doing, int code) const {
  throw RadioError(radio_.name() + " failed " + doing + ": " + SoapySDR::errToStr(code) + " (" + std::to_string(code) +
                   ")");
}

std::size_t TxStream::write(const NativeSamples& samples, std::size_t first, std::size_t n, bool endBurst,
                            const std::atomic<bool>& stop) {
  std::size_t sent = 0;
  while (sent < n && !stop.load(std::memory_order_relaxed)) {
    const std::size_t count = std::min(mtu(), n - sent);
    const void* buffers[] = {samples.at(first + sent)};
    const int endFlag = endBurst && sent + count == n ? SOAPY_SDR_END_BURST : 0;
    int flags = endFlag;
    const int result = radio_.device().writeStream(stream_, buffers, count, flags, 0, kCallWaitUs);
    if (result > 0) {
      sent += static_cast<std::size_t>(result);
      samplesSent_ += static_cast<std::size_t>(result);
      // A radio that takes part of a block takes the end-of-burst flag with its last sample only.
      burstOpen_ = endFlag == 0 || static_cast<std::size_t>(result) < count;
      moved();
    } else if (result == SOAPY_SDR_UNDERFLOW) {
      ++underflows_;
    } else if (result == SOAPY_SDR_TIMEOUT || result == 0) {
      nothingMoved("taking samples");
    } else {
      failed("while transmitting", result);
    }
    collectStatus();
  }
  return sent;
}

void TxStream::closeBurst() {
  if (!burstOpen_) return;
  const NativeSamples silence(format().format, std::min<std::size_t>(mtu(), 64));
  const std::atomic<bool> never{false};
  write(silence, 0, silence.size(), true, never);
}

// Radios that report underflows apart from the writes do so through the stream's status.
void TxStream::collectStatus() {
  while (statusSupported_) {
    std::size_t channels = 0;
    int flags = 0;
    long long timeNs = 0;
    const int status = radio_.device().readStreamStatus(stream_, channels, flags, timeNs, 0);
    if (status == SOAPY_SDR_UNDERFLOW) {
      ++underflows_;
      continue;
    }
    statusSupported_ = status != SOAPY_SDR_NOT_SUPPORTED;
    return;
  }
}

std::size_t RxStream::read(NativeSamples& out, std::size_t first, std::size_t n, const std::atomic<bool>& stop) {
  while (!stop.load(std::memory_order_relaxed)) {
    void* buffers[] = {out.at(first)};
    int flags = 0;
    long long timeNs = 0;
    const int result = radio_.device().readStream(stream_, buffers, std::min(mtu(), n), flags, timeNs, kCallWaitUs);
    if (result > 0) {
      moved();
      return static_cast<std::size_t>(result);
    }
    if (result == SOAPY_SDR_OVERFLOW) {
      ++overflows_;
    } else if (result == SOAPY_SDR_TIMEOUT || result == 0) {
      nothingMoved("giving samples");
    } else {
      failed("while receiving", result);
    }
  }
  return 0;
}

ReceiveReport receive(RxStream& stream, std::uint64_t samples, const std::atomic<bool>& stop,
                      const std::function<bool(const NativeSamples&, std::size_t, bool)>& keep) {
  NativeSamples buffer(stream.format().format, stream.mtu());
  ReceiveReport report;
  try {
    while (report.received < samples) {
      const std::uint64_t overflows = stream.overflows();
      const std::size_t n = stream.read(
          buffer, 0, static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), samples - report.received)),
          stop);
      if (n == 0) {
        report.stopped = true;
        break;
      }
      if (!keep(buffer, n, stream.overflows() != overflows)) break;
      report.received += n;
    }
  } catch (const RadioError& e) {
    report.failure = e.what();
  }
  report.overflows = stream.overflows();
  return report;
}

}  // namespace dot11b::sdr
