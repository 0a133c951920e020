// SPDX-License-Identifier: GPL-3.0-or-later
#include "sdr/radio_source.h"

#include <algorithm>

#include "sdr/radio_error.h"

namespace dot11b::sdr {

double setUpReceive(Radio& radio, double rate, const TuneSettings& settings) {
  const double running = radio.setSampleRate(Direction::Receive, rate);
  radio.tune(Direction::Receive, settings);
  return running;
}

RadioSource::RadioSource(Radio& radio, std::uint64_t samples, const std::atomic<bool>& stop)
    : stream_(radio, radio.streamFormat(Direction::Receive)),
      buffer_(stream_.format().format, stream_.mtu()),
      samples_(samples),
      stop_(stop) {}

template <typename S>
std::size_t RadioSource::take(S* out, std::size_t max) {
  const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>({max, buffer_.size(), samples_ - received_}));
  if (wanted == 0 || !failure_.empty()) return 0;
  const std::uint64_t overflows = stream_.overflows();
  std::size_t n = 0;
  try {
    n = stream_.read(buffer_, 0, wanted, stop_);
  } catch (const RadioError& e) {
    failure_ = e.what();
    return 0;
  }
  if (n > 0 && stream_.overflows() != overflows && received_ > 0) segmentStarts_.push_back(received_);
  decodeSamples(buffer_.at(0), buffer_.format(), n, stream_.format().fullScale, out);
  received_ += n;
  return n;
}

std::size_t RadioSource::read(Complex* out, std::size_t max) { return take(out, max); }

std::size_t RadioSource::readSamples(rx::Sample* out, std::size_t max) { return take(out, max); }

}  // namespace dot11b::sdr
