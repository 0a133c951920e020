// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/receiver.h"

#include <cmath>
#include <stdexcept>

#include "rx/acquisition.h"
#include "rx/chip_stream.h"
#include "rx/frame_decoder.h"
#include "rx/stream/front_end.h"
#include "rx/stream/sample_source.h"
#include "rx/stream/stream_window.h"

namespace dot11b::rx {

namespace {

// Stream samples a frame may start before the point where the search let go: the long preamble's 144
// symbols, the acquisition's three blocks of 16 and a margin.
constexpr double kLookBack = (144 + 3 * 16 + 16) * 11.0 * kSamplesPerChip;

}  // namespace

void receiveStream(SampleSource& source, double sampleRate, const std::function<void(ReceivedFrame&&)>& onFrame,
                   std::size_t blockSamples, const std::function<void(double)>& onProgress) {
  requireReceivableRate("the sample rate", sampleRate);
  StreamWindow window(source, sampleRate, blockSamples);
  const ChipStream stream(window);
  const double toCapture = sampleRate / kStreamRate;
  if (onProgress) {
    // The search lets go of the stream only behind where it looks for a preamble; a frame found later
    // starts at most its preamble and the acquisition's blocks before that.
    window.setOnRelease([&](std::size_t k) { onProgress((static_cast<double>(k) - kLookBack) * toCapture); });
  }
  for (std::size_t from = 0;;) {
    const std::optional<Acquisition> acquisition = acquire(stream, from);
    if (!acquisition) break;
    const ChipStream frameStream = stream.withoutCarrierOffset(acquisition->cfoHz, acquisition->firstSymbol);
    FrameOutcome outcome = decodeFrame(frameStream, *acquisition);
    if (outcome.frame) {
      outcome.frame->startSample = std::max(0.0, outcome.frame->startSample) * toCapture;
      // Every capture sample up to the frame's end has been read by now.
      outcome.frame->endSample = std::min(outcome.frame->endSample * toCapture, static_cast<double>(window.captureRead()));
      onFrame(std::move(*outcome.frame));
    }
    // Always onwards, by a symbol at least.
    from = std::max<std::size_t>(from + 11 * kSamplesPerChip, static_cast<std::size_t>(std::max(0.0, outcome.resumeAt)));
  }
}

std::vector<ReceivedFrame> receiveFrames(const ComplexRow& samples, double sampleRate) {
  RowSource source(samples);
  std::vector<ReceivedFrame> frames;
  receiveStream(source, sampleRate, [&](ReceivedFrame&& frame) { frames.push_back(std::move(frame)); });
  return frames;
}

}  // namespace dot11b::rx
