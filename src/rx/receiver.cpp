#include "rx/receiver.h"

#include <cmath>
#include <stdexcept>

#include "rx/acquisition.h"
#include "rx/chip_stream.h"
#include "rx/frame_decoder.h"
#include "rx/front_end.h"

namespace dot11b::rx {

std::vector<ReceivedFrame> receiveFrames(const ComplexRow& samples, double sampleRate) {
  if (!(sampleRate > 0) || !std::isfinite(sampleRate)) {
    throw std::invalid_argument("the sample rate must be finite and positive");
  }
  ComplexRow stream44;
  FrontEnd frontEnd(sampleRate);
  frontEnd.push(samples.data(), samples.size(), stream44);
  frontEnd.finish(stream44);
  const ChipStream stream(stream44);
  const double toCapture = sampleRate / kStreamRate;
  std::vector<ReceivedFrame> frames;
  for (std::size_t from = 0;;) {
    const std::optional<Acquisition> acquisition = acquire(stream, from);
    if (!acquisition) break;
    const ChipStream frameStream = stream.withoutCarrierOffset(acquisition->cfoHz, acquisition->firstSymbol);
    FrameOutcome outcome = decodeFrame(frameStream, *acquisition);
    if (outcome.frame) {
      outcome.frame->startSample = std::max(0.0, outcome.frame->startSample) * toCapture;
      outcome.frame->endSample = std::min(outcome.frame->endSample * toCapture, static_cast<double>(samples.size()));
      frames.push_back(std::move(*outcome.frame));
    }
    // Always onwards, by a symbol at least.
    from = std::max<std::size_t>(from + 44, static_cast<std::size_t>(std::max(0.0, outcome.resumeAt)));
  }
  return frames;
}

}  // namespace dot11b::rx
