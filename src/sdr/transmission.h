// SPDX-License-Identifier: GPL-3.0-or-later
// A frame sent through a radio: taken to a rate the radio runs at, scaled to its full scale less a
// back-off, and streamed as often as asked.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "phy/samples/sample_formats.h"
#include "phy/types.h"
#include "sdr/streams.h"

namespace dot11b::sdr {

class Radio;
struct TuneSettings;

// Sets the radio's transmit rate (`rate`, or else the one chooseRate picks for a frame made at `frameRate`),
// then its frequency, gain and antenna; returns the rate it runs at. Nothing is sent. Throws
// std::invalid_argument for a rate below kLowestTransmitRate, RadioError for a radio that runs at none.
double setUpTransmit(Radio& radio, std::optional<double> rate, double frameRate, const TuneSettings& settings);

struct TxWaveform {
  NativeSamples samples;
  std::size_t clipped = 0;  // samples held at the format's ends (none unless the radio's full scale lies)
};

// The largest back-off [dB] that leaves phy::kFewestBits of the radio's format: 12 dB for an 8-bit radio,
// 36 dB for a 12-bit one (CS16 of full scale 2048), 60 dB for CF32 (as a 16-bit converter takes it).
double largestBackoffDb(const StreamFormat& format);

// The frame at `frameRate` [Hz] taken to `radioRate` by the receiver's band-limited resampler (which cuts
// the band to 90 % of the new Nyquist band when the rate falls), then scaled so that its largest |I| or |Q|
// lies `backoffDb` below the format's full scale (never beyond the largest integer of an integer format).
// Throws std::invalid_argument for a rate that is not finite and positive or a back-off beyond 0 to
// largestBackoffDb(format).
TxWaveform prepareWaveform(const ComplexRow& frame, double frameRate, double radioRate, const StreamFormat& format,
                           double backoffDb);

struct Bursts {
  long repeat = 1;          // times the frame is sent
  bool continuous = false;  // until stopped, whatever `repeat` says
  double gapSeconds = 0;    // between sends; 0: each send follows the last in the same burst, seamlessly
};

struct TransmitReport {
  std::uint64_t samplesSent = 0;  // those the radio took, before a failure too
  long framesSent = 0;            // sends completed
  std::uint64_t underflows = 0;
  bool stopped = false;  // `stop` was set before every send was made
  std::string failure;   // the radio's message when its stream failed; empty otherwise
};

// Sends the waveform as `bursts` asks; each gap closes a burst and waits, hearing `stop` every 10 ms. A
// burst that `stop` cuts short still gets its end. A stream that fails ends the sending; the report says so.
TransmitReport transmit(TxStream& stream, const NativeSamples& waveform, const Bursts& bursts,
                        const std::atomic<bool>& stop);

}  // namespace dot11b::sdr
