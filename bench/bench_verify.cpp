// Speed of the receiver: the largest frame the panel allows (2312 PN9 octets with MAC header and FCS at
// 1 Mbit/s, 9 samples a chip, root raised cosine over 1000 chips, 1000 us ramps and idle) decoded from
// its 99 Msample/s waveform, and the start-value frame.
#include <benchmark/benchmark.h>

#include "mac/mac_header.h"
#include "mac/payload.h"
#include "phy/frame.h"
#include "rx/receiver.h"

namespace {

void receive(benchmark::State& state, const dot11b::Bits& psdu, const dot11b::phy::FrameSettings& s) {
  const dot11b::ComplexRow waveform = dot11b::phy::generateFrame(psdu, s).waveform;
  std::size_t frames = 0;
  for (auto _ : state) {
    const auto received = dot11b::rx::receiveFrames(waveform, 11e6 * s.oversamplingRate);
    frames = received.size();
    if (frames != 1 || !received.front().fcsOk) state.SkipWithError("the frame did not verify");
  }
  state.counters["samples"] = static_cast<double>(waveform.size());
}

void largestFrame(benchmark::State& state) {
  dot11b::mac::PayloadSettings payload;
  payload.dataSourceType = 5;
  payload.dataLength = 2312;
  payload.macHeaderActive = true;
  payload.macHeaderBits = dot11b::mac::defaultMacHeader().bitStream;
  payload.fcsActive = true;
  dot11b::phy::FrameSettings s;
  s.dataRate = 1;
  s.oversamplingRate = 9;
  s.rampType = 1;
  s.rampLength = 99000;
  s.idleSamples = 99000;
  s.filterType = 2;
  s.filterFactor = 0.5;
  s.filterTaps = 1000 * 9;
  receive(state, dot11b::mac::generatePayload(payload), s);
}

void startValueFrame(benchmark::State& state) {
  dot11b::mac::PayloadSettings payload;
  payload.dataLength = 1024;
  payload.fcsActive = true;
  dot11b::phy::FrameSettings s;
  s.rampType = 1;
  s.rampLength = 88;
  s.idleSamples = 4400;
  s.filterType = 1;
  s.filterTaps = 24;
  receive(state, dot11b::mac::generatePayload(payload), s);
}

}  // namespace

BENCHMARK(largestFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(startValueFrame)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
