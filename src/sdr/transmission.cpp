// SPDX-License-Identifier: GPL-3.0-or-later
#include "sdr/transmission.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <thread>

#include "phy/samples/peak_scaling.h"
#include "rx/stream/resample.h"
#include "sdr/radio.h"

namespace dot11b::sdr {

namespace {

// The back-off that keeps an integer format's peak within its last integer: a radio's full scale is one
// beyond it (128 for CS8).
double backoffWithinIntegers(const StreamFormat& format, double backoffDb) {
  double largest = format.fullScale;
  if (format.format == SampleFormat::CS8) largest = std::min({format.fullScale - 1, 127.0});
  if (format.format == SampleFormat::CS16) largest = std::min({format.fullScale - 1, 32767.0});
  return std::max(backoffDb, 20 * std::log10(format.fullScale / largest));
}

void waitGap(double seconds, const std::atomic<bool>& stop) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                                          std::chrono::duration<double>(seconds));
  while (!stop.load(std::memory_order_relaxed)) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= end) return;
    std::this_thread::sleep_for(
        std::min<std::chrono::steady_clock::duration>(end - now, std::chrono::milliseconds(10)));
  }
}

}  // namespace

double setUpTransmit(Radio& radio, std::optional<double> rate, double frameRate, const TuneSettings& settings) {
  const double asked = rate ? *rate : chooseRate(radio.sampleRates(Direction::Transmit), frameRate);
  const double running = radio.setSampleRate(Direction::Transmit, asked);
  radio.tune(Direction::Transmit, settings);
  return running;
}

TxWaveform prepareWaveform(const ComplexRow& frame, double frameRate, double radioRate, const StreamFormat& format,
                           double backoffDb) {
  if (!(backoffDb >= 0) || !std::isfinite(backoffDb)) throw std::invalid_argument("the back-off must be 0 dB or more");
  const ComplexRow samples = rx::resample(frame, frameRate, radioRate);
  const phy::PeakScaling scaling =
      phy::scalePeak(samples, format.fullScale, backoffWithinIntegers(format, backoffDb));
  TxWaveform waveform;
  waveform.samples = toNative(samples, format.format, scaling.gain, waveform.clipped);
  return waveform;
}

TransmitReport transmit(TxStream& stream, const NativeSamples& waveform, const Bursts& bursts,
                        const std::atomic<bool>& stop) {
  TransmitReport report;
  const bool gaps = bursts.gapSeconds > 0;
  while (bursts.continuous || report.framesSent < bursts.repeat) {
    const bool last = !bursts.continuous && report.framesSent + 1 == bursts.repeat;
    const std::size_t sent = stream.write(waveform, 0, waveform.size(), gaps || last, stop);
    report.samplesSent += sent;
    if (sent < waveform.size()) break;
    ++report.framesSent;
    if (gaps && !last) waitGap(bursts.gapSeconds, stop);
    if (stop.load(std::memory_order_relaxed)) break;
  }
  report.underflows = stream.underflows();
  report.stopped = bursts.continuous || report.framesSent < bursts.repeat;
  return report;
}

}  // namespace dot11b::sdr
