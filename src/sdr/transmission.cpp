// SPDX-License-Identifier: GPL-3.0-or-later
#include "sdr/transmission.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <thread>

#include "rx/stream/resample.h"
#include "sdr/radio.h"

namespace dot11b::sdr {

namespace {

// The largest value a component takes: the full scale, held below the format's end for the integers
// (128 for CS8 is one beyond 127).
double peakTarget(const StreamFormat& format, double backoffDb) {
  const double target = format.fullScale * std::pow(10.0, -backoffDb / 20);
  switch (format.format) {
    case SampleFormat::CS8:
      return std::min({target, format.fullScale - 1, 127.0});
    case SampleFormat::CS16:
      return std::min({target, format.fullScale - 1, 32767.0});
    case SampleFormat::CF32:
      return target;
  }
  return target;
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
  const auto finite = [](const Complex& s) { return std::isfinite(s.real()) && std::isfinite(s.imag()); };
  if (!std::all_of(samples.begin(), samples.end(), finite))
    throw std::invalid_argument("the waveform holds a sample that is not a finite number");
  const double peak = peakComponent(samples);
  TxWaveform waveform;
  waveform.samples =
      toNative(samples, format.format, peak > 0 ? peakTarget(format, backoffDb) / peak : 0, waveform.clipped);
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
