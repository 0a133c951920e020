#include "rx/receiver.h"

#include <cmath>
#include <stdexcept>

#include "rx/acquisition.h"
#include "rx/chip_stream.h"
#include "rx/frame_decoder.h"
#include "rx/sample_source.h"
#include "rx/stream_window.h"

namespace dot11b::rx {

void receiveStream(SampleSource& source, double sampleRate, const std::function<void(ReceivedFrame&&)>& onFrame,
                   std::size_t blockSamples) {
  if (!(sampleRate > 0) || !std::isfinite(sampleRate)) {
    throw std::invalid_argument("the sample rate must be finite and positive");
  }
  StreamWindow window(source, sampleRate, blockSamples);
  const ChipStream stream(window);
  const double toCapture = sampleRate / kStreamRate;
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
    from = std::max<std::size_t>(from + 44, static_cast<std::size_t>(std::max(0.0, outcome.resumeAt)));
  }
}

std::vector<ReceivedFrame> receiveFrames(const ComplexRow& samples, double sampleRate) {
  RowSource source(samples);
  std::vector<ReceivedFrame> frames;
  receiveStream(source, sampleRate, [&](ReceivedFrame&& frame) { frames.push_back(std::move(frame)); });
  return frames;
}

}  // namespace dot11b::rx
