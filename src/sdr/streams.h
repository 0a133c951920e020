// SPDX-License-Identifier: GPL-3.0-or-later
// A radio's transmit and receive streams, in the radio's own sample format. Every call waits at most
// kCallWait, so that a stop request (Ctrl-C) is heard within it; a radio that takes or gives nothing for
// kStallLimit has gone, and a stream error ends the stream: both throw a RadioError naming the radio. The
// stream is deactivated and closed when the object goes, on every path.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "phy/samples/sample_formats.h"
#include "sdr/radio.h"

namespace SoapySDR {
class Stream;
}

namespace dot11b::sdr {

inline constexpr std::chrono::milliseconds kCallWait{50};
inline constexpr std::chrono::seconds kStallLimit{2};

class RadioStream {
 public:
  RadioStream(Radio& radio, Direction direction, StreamFormat format);
  virtual ~RadioStream();
  RadioStream(const RadioStream&) = delete;
  RadioStream& operator=(const RadioStream&) = delete;

  const StreamFormat& format() const { return format_; }
  // The most samples one call moves.
  std::size_t mtu() const { return mtu_; }

 protected:
  // A call that moved nothing: throws once nothing has moved for kStallLimit.
  void nothingMoved(const char* doing);
  void moved() { lastMoved_ = std::chrono::steady_clock::now(); }
  // Throws the stream error `code` as a RadioError.
  [[noreturn]] void failed(const char* doing, int code) const;

  Radio& radio_;
  SoapySDR::Stream* stream_ = nullptr;

 private:
  StreamFormat format_;
  std::size_t mtu_ = 0;
  std::chrono::steady_clock::time_point lastMoved_;
};

class TxStream : public RadioStream {
 public:
  TxStream(Radio& radio, StreamFormat format) : RadioStream(radio, Direction::Transmit, format) {}
  // Sends samples first .. first + n - 1 of `samples`, marking the last as a burst's end when `endBurst`.
  // Returns how many went before `stop` was set: n unless stopped.
  std::size_t write(const NativeSamples& samples, std::size_t first, std::size_t n, bool endBurst,
                    const std::atomic<bool>& stop);
  // Ends a burst that a stop cut short with a few samples of silence marked as its end, as a radio's
  // stream expects; nothing when no burst is open.
  void closeBurst();
  // The samples the radio took, a write that failed included.
  std::uint64_t samplesSent() const { return samplesSent_; }
  // The underflows the radio reported (each a gap in what went on the air).
  std::uint64_t underflows() const { return underflows_; }

 private:
  void collectStatus();

  std::uint64_t samplesSent_ = 0;
  std::uint64_t underflows_ = 0;
  bool statusSupported_ = true;
  bool burstOpen_ = false;  // samples went out since the last end of a burst
};

class RxStream : public RadioStream {
 public:
  RxStream(Radio& radio, StreamFormat format) : RadioStream(radio, Direction::Receive, format) {}
  // Receives up to n samples into `out` from its sample `first`; returns how many came, 0 only when `stop`
  // was set.
  std::size_t read(NativeSamples& out, std::size_t first, std::size_t n, const std::atomic<bool>& stop);
  // The overflows the radio reported (before each, samples were lost).
  std::uint64_t overflows() const { return overflows_; }

 private:
  std::uint64_t overflows_ = 0;
};

struct ReceiveReport {
  std::uint64_t received = 0;
  std::uint64_t overflows = 0;
  bool stopped = false;  // `stop` came before every sample was in
  std::string failure;   // the radio's message when its stream failed; empty otherwise
};

// Receives `samples` samples and hands each block to `keep`, with `afterLoss` set when the radio lost
// samples before it. Ends early when `stop` is set, when `keep` returns false (it could not keep the
// block) or when the stream fails: every block before has been kept, and the report says which.
ReceiveReport receive(RxStream& stream, std::uint64_t samples, const std::atomic<bool>& stop,
                      const std::function<bool(const NativeSamples& block, std::size_t n, bool afterLoss)>& keep);

}  // namespace dot11b::sdr
