// SPDX-License-Identifier: GPL-3.0-or-later
#include "sdr/transmission.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <thread>

#include "phy/samples/peak_scaling.h"
#include "runtime/shortest_text.h"
#include "rx/stream/resample.h"
#include "sdr/radio.h"
#include "sdr/radio_error.h"

namespace dot11b::sdr {

namespace {

// The largest integer of a radio's format: its full scale less one for an integer format (a radio's full
// scale is one beyond it, 128 for CS8); floats as a 16-bit converter takes them.
double largestInteger(const StreamFormat& format) {
  if (format.format == SampleFormat::CS8) return std::min({format.fullScale - 1, 127.0});
  if (format.format == SampleFormat::CS16) return std::min({format.fullScale - 1, 32767.0});
  return 32767;
}

// The back-off that keeps an integer format's peak within its last integer.
double backoffWithinIntegers(const StreamFormat& format, double backoffDb) {
  if (format.format == SampleFormat::CF32) return backoffDb;
  return std::max(backoffDb, 20 * std::log10(format.fullScale / largestInteger(format)));
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
  if (rate && *rate < kLowestTransmitRate)
    throw std::invalid_argument("the rate " + rt::shortestText(*rate / 1e6) + " Msample/s is below " +
                                rt::shortestText(kLowestTransmitRate / 1e6) + " Msample/s");
  const std::vector<Range> rates = radio.sampleRates(Direction::Transmit);
  const double asked = rate ? *rate : chooseRate(rates, frameRate);
  if (asked < kLowestTransmitRate)
    throw RadioError(radio.name() + " runs at " + ratesText(rates) + ": a frame needs " +
                     rt::shortestText(kLowestTransmitRate / 1e6) + " Msample/s at the least");
  const double running = radio.setSampleRate(Direction::Transmit, asked);
  radio.tune(Direction::Transmit, settings);
  return running;
}

double largestBackoffDb(const StreamFormat& format) { return phy::largestBackoffDb(largestInteger(format)); }

TxWaveform prepareWaveform(const ComplexRow& frame, double frameRate, double radioRate, const StreamFormat& format,
                           double backoffDb) {
  if (!(backoffDb >= 0) || !(backoffDb <= largestBackoffDb(format)))
    throw std::invalid_argument("the back-off must be from 0 to " +
                                rt::shortestText(std::floor(largestBackoffDb(format) * 10) / 10) +
                                " dB for the radio's " + std::string(formatName(format.format)) + ", not " +
                                rt::shortestText(backoffDb));
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
  try {
    while (bursts.continuous || report.framesSent < bursts.repeat) {
      const bool last = !bursts.continuous && report.framesSent + 1 == bursts.repeat;
      if (stream.write(waveform, 0, waveform.size(), gaps || last, stop) < waveform.size()) break;
      ++report.framesSent;
      if (gaps && !last) waitGap(bursts.gapSeconds, stop);
      if (stop.load(std::memory_order_relaxed)) break;
    }
    stream.closeBurst();
  } catch (const RadioError& e) {
    report.failure = e.what();
  }
  report.samplesSent = stream.samplesSent();
  report.underflows = stream.underflows();
  report.stopped = report.failure.empty() && (bursts.continuous || report.framesSent < bursts.repeat);
  return report;
}

}  // namespace dot11b::sdr
