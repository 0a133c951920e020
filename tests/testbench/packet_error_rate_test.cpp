// SPDX-License-Identifier: GPL-3.0-or-later
// The PER run: a point counts its frames as they come out of `impair` with the point's seed and the receiver.
#include "testbench/packet_error_rate.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "channel/impairments.h"
#include "rx/receiver.h"
#include "settings/parameter_rules.h"
#include "settings/start_values.h"
#include "testbench/frame_sequence.h"

namespace dot11b::testbench {
namespace {

TEST(PacketErrorRate, APointCountsItsFramesAsImpairAndTheReceiverLetThemThrough) {
  rt::Value parameters = settings::initialParameters();
  settings::applySetting(parameters, "OverSampling", "2");
  const rt::Value data = dataFrameParameters(parameters, 11, 100);
  SequenceSettings sequence;
  sequence.frames = 8;
  std::vector<Bits> psdus;
  const phy::Frame frames = calculateSequence(data, sequence, &psdus);
  std::size_t partlyLost = 0;
  for (const double snr : {5.0, 6.0, 7.0, 8.0}) {
    // One rate, one SNR and one batch: the point draws from the run's seed itself.
    PerSettings s;
    s.ratesMbps = {11};
    s.snrDb = {snr};
    s.frames = sequence.frames;
    s.psduOctets = 100;
    s.impairments.seed = 7;
    const PerPoint point = measurePer(parameters, s).at(0);
    const ComplexRow noisy = channel::impair(frames.waveform, 22e6, frames.marker2, {.snrDb = snr, .seed = 7});
    std::size_t received = 0;
    for (const rx::ReceivedFrame& f : rx::receiveFrames(noisy, 22e6))
      received += f.fcsOk && std::find(psdus.begin(), psdus.end(), f.psdu) != psdus.end();
    EXPECT_EQ(point.received, received) << snr << " dB";
    partlyLost += received > 0 && received < sequence.frames;
  }
  // On the waterfall, where other draws of the noise would lose other frames.
  EXPECT_GT(partlyLost, 0U);
}

}  // namespace
}  // namespace dot11b::testbench
