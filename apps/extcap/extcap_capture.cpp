// SPDX-License-Identifier: GPL-3.0-or-later
#include "extcap_capture.h"

#include <limits>
#include <stdexcept>

#include "ctrl_c.h"
#include "extcap_radios.h"
#include "files/pcapng_file.h"
#include "files/utc_time.h"
#include "rx/verify/verification.h"
#include "sdr/radio_source.h"
#include "testbench/frame_capture.h"

namespace dot11b::extcap {

int capture(const CaptureSettings& settings, std::ostream& err) {
  try {
    // SIGTERM from Wireshark, like Ctrl-C, ends the stream at its next call.
    const cli::CtrlCStop stop;
    sdr::Radio radio(deviceArgs(settings.interface, settings.deviceArgs));
    sdr::TuneSettings tune;
    tune.frequency = settings.frequency ? *settings.frequency : channelFrequency(settings.channel).value_or(0);
    if (!(tune.frequency > 0))
      throw std::runtime_error("channel " + std::to_string(settings.channel) + " is not one of 1 to 14");
    tune.gain = settings.gain;
    tune.antenna = settings.antenna;
    const double wanted = settings.sampleRate ? *settings.sampleRate
                                              : sdr::chooseRate(radio.sampleRates(sdr::Direction::Receive),
                                                                sdr::kTwoSamplesAChip);
    const double rate = sdr::setUpReceive(radio, wanted, tune);

    testbench::FrameCaptureSettings frames;
    frames.frequencyHz = tune.frequency;
    frames.calibrationDb = settings.calibrationDb;
    files::PcapngWriter writer(settings.fifo, {interfaceName(radio.found()), testbench::levelDescription(frames)});
    sdr::RadioSource radioSource(radio, std::numeric_limits<std::uint64_t>::max(), stop.requested());
    frames.startNs = files::nowNs();
    testbench::ReaderWatchedSource source(radioSource, writer);
    try {
      rx::verifyStream(
          source, rate, tune.frequency,
          [&](const rx::Verification& v, std::size_t k) { testbench::writeFrame(writer, v, k, frames); },
          {.keepPsdus = false, .transmitterChecks = false});
    } catch (const files::PcapngReaderGone&) {
      // Wireshark closed the FIFO: the capture is over.
      return 0;
    }
    // The frames before a radio's failure are in the capture; Wireshark shows what is written here.
    if (!radioSource.failure().empty()) {
      err << "dot11b-extcap: the radio failed after " << radioSource.received() << " samples: "
          << radioSource.failure() << std::endl;
      return 1;
    }
    return 0;
  } catch (const std::exception& e) {
    err << "dot11b-extcap: " << e.what() << std::endl;
    return 1;
  }
}

}  // namespace dot11b::extcap
