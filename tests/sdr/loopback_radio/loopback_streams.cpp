// SPDX-License-Identifier: GPL-3.0-or-later
#include <SoapySDR/Errors.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "loopback_radio.h"

namespace loopback {

namespace {

// Samples in the radio's format to floats over full scale, and back.
void toFloats(const void* in, const std::string& format, std::size_t values, double fullScale, float* out) {
  for (std::size_t k = 0; k < values; ++k) {
    const double v = format == "CS8"    ? static_cast<const std::int8_t*>(in)[k]
                     : format == "CS16" ? static_cast<const std::int16_t*>(in)[k]
                                        : static_cast<const float*>(in)[k];
    out[k] = static_cast<float>(v / fullScale);
  }
}

void fromFloats(const float* in, std::size_t values, double fullScale, const std::string& format, void* out) {
  for (std::size_t k = 0; k < values; ++k) {
    const double v = in[k] * fullScale;
    if (format == "CS8")
      static_cast<std::int8_t*>(out)[k] = static_cast<std::int8_t>(std::clamp(std::round(v), -128.0, 127.0));
    else if (format == "CS16")
      static_cast<std::int16_t*>(out)[k] = static_cast<std::int16_t>(std::clamp(std::round(v), -32768.0, 32767.0));
    else
      static_cast<float*>(out)[k] = static_cast<float>(v);
  }
}

Stream& streamOf(SoapySDR::Stream* stream) { return *reinterpret_cast<Stream*>(stream); }

}  // namespace

SoapySDR::Stream* Radio::setupStream(int direction, const std::string& format, const std::vector<std::size_t>& channels,
                                     const SoapySDR::Kwargs&) {
  if (format != settings_.format)
    throw std::runtime_error("loopback: streams " + settings_.format + " only, not " + format);
  if (channels.size() > 1 || (!channels.empty() && channels[0] != 0))
    throw std::runtime_error("loopback: one channel only");
  if (direction == SOAPY_SDR_TX && !settings_.store.empty()) {
    store_.open(settings_.store, std::ios::binary | std::ios::trunc);
    if (!store_) throw std::runtime_error("loopback: cannot write " + settings_.store);
  }
  if (direction == SOAPY_SDR_RX && !settings_.play.empty()) {
    play_.open(settings_.play, std::ios::binary);
    if (!play_) throw std::runtime_error("loopback: cannot read " + settings_.play);
  }
  auto* stream = new Stream;
  stream->direction = direction;
  return reinterpret_cast<SoapySDR::Stream*>(stream);
}

void Radio::closeStream(SoapySDR::Stream* stream) {
  if (streamOf(stream).direction == SOAPY_SDR_TX)
    store_.close();
  else
    play_.close();
  delete &streamOf(stream);
}

int Radio::activateStream(SoapySDR::Stream* stream, int, long long, std::size_t) {
  streamOf(stream).start = std::chrono::steady_clock::now();
  streamOf(stream).paced = 0;
  return 0;
}

int Radio::deactivateStream(SoapySDR::Stream* stream, int, long long) {
  if (streamOf(stream).burstOpen) {
    bursts_.push_back(stored_);
    ++unendedBursts_;
  }
  streamOf(stream).burstOpen = false;
  return 0;
}

std::size_t Radio::paced(Stream& s, std::size_t wanted, long timeoutUs, double lead) const {
  if (!settings_.pace) return wanted;
  const double rate = rate_[s.direction];
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::microseconds(timeoutUs);
  for (;;) {
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - s.start).count();
    const double free = (elapsed + lead) * rate - static_cast<double>(s.paced);
    if (free >= static_cast<double>(wanted)) return wanted;
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return free >= 1 ? static_cast<std::size_t>(free) : 0;
    const auto untilWanted = std::chrono::duration<double>((static_cast<double>(wanted) - free) / rate);
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
        deadline - now, std::chrono::duration_cast<std::chrono::steady_clock::duration>(untilWanted)));
  }
}

// The samples of a paced receive stream lost to an overflow: all those waiting to be read once they are more
// than `hold` seconds of them (the radio empties its buffer and starts again), else none.
std::uint64_t Radio::beyondHold(const Stream& s) const {
  if (!settings_.pace || settings_.holdSeconds <= 0) return 0;
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - s.start).count();
  const double rate = rate_[s.direction];
  const double waiting = elapsed * rate - static_cast<double>(s.paced);
  return waiting > settings_.holdSeconds * rate ? static_cast<std::uint64_t>(waiting) : 0;
}

// A radio that has gone: every stream call an error, or a time-out after the whole wait (0: neither).
int Radio::lostFault(long timeoutUs) const {
  if (faultDue("vanish")) return SOAPY_SDR_STREAM_ERROR;
  if (!faultDue("stall")) return 0;
  std::this_thread::sleep_for(std::chrono::microseconds(timeoutUs));
  return SOAPY_SDR_TIMEOUT;
}

int Radio::writeStream(SoapySDR::Stream* stream, const void* const* buffs, std::size_t numElems, int& flags, long long,
                       long timeoutUs) {
  Stream& s = streamOf(stream);
  if (const int fault = lostFault(timeoutUs); fault != 0) return fault;
  if (faultDue("underflow") && !underflowGiven_) {
    underflowGiven_ = true;
    return SOAPY_SDR_UNDERFLOW;
  }
  if (!s.burstOpen) {
    s.burstOpen = true;
    s.start = std::chrono::steady_clock::now();
    s.paced = 0;
  }
  // A real radio holds some 10 ms of samples ahead of the air.
  const std::size_t n = paced(s, std::min(numElems, settings_.mtu), timeoutUs, 0.01);
  if (n == 0) return SOAPY_SDR_TIMEOUT;
  if (store_.is_open()) {
    converted_.resize(2 * n);
    toFloats(buffs[0], settings_.format, 2 * n, settings_.fullScale, converted_.data());
    store_.write(reinterpret_cast<const char*>(converted_.data()),
                 static_cast<std::streamsize>(converted_.size() * sizeof(float)));
    stored_ += n;
  }
  s.paced += n;
  moved_ += n;
  const bool burstEnds = (flags & SOAPY_SDR_END_BURST) != 0 && n == numElems;
  if (burstEnds) {
    bursts_.push_back(stored_);
    s.burstOpen = false;
  }
  flags = 0;
  return static_cast<int>(n);
}

int Radio::readStream(SoapySDR::Stream* stream, void* const* buffs, std::size_t numElems, int& flags, long long& timeNs,
                      long timeoutUs) {
  Stream& s = streamOf(stream);
  flags = 0;
  timeNs = 0;
  if (const int fault = lostFault(timeoutUs); fault != 0) return fault;
  if (faultDue("overflow") && !overflowGiven_) {
    overflowGiven_ = true;
    play_.seekg(1000 * 2 * sizeof(float), std::ios::cur);
    return SOAPY_SDR_OVERFLOW;
  }
  if (const std::uint64_t lost = beyondHold(s); lost > 0) {
    // The samples the radio had no room for are gone, as a real radio's buffer drops them.
    play_.seekg(static_cast<std::streamoff>(lost * 2 * sizeof(float)), std::ios::cur);
    s.paced += lost;
    return SOAPY_SDR_OVERFLOW;
  }
  const std::size_t n = paced(s, std::min(numElems, settings_.mtu), timeoutUs, 0);
  if (n == 0) return SOAPY_SDR_TIMEOUT;
  converted_.assign(2 * n, 0.0f);
  if (play_.is_open()) {
    play_.read(reinterpret_cast<char*>(converted_.data()),
               static_cast<std::streamsize>(converted_.size() * sizeof(float)));
    play_.clear();  // past the end of the file the radio hears silence
  }
  fromFloats(converted_.data(), 2 * n, settings_.fullScale, settings_.format, buffs[0]);
  s.paced += n;
  moved_ += n;
  return static_cast<int>(n);
}

int Radio::readStreamStatus(SoapySDR::Stream*, std::size_t&, int& flags, long long&, long timeoutUs) {
  flags = 0;
  if (faultDue("underflow-status") && !underflowGiven_) {
    underflowGiven_ = true;
    return SOAPY_SDR_UNDERFLOW;
  }
  std::this_thread::sleep_for(std::chrono::microseconds(timeoutUs));
  return SOAPY_SDR_TIMEOUT;
}

}  // namespace loopback
