#include "rx/receiver.h"

#include <cmath>
#include <stdexcept>

#include "rx/acquisition.h"
#include "rx/chip_stream.h"
#include "rx/frame_decoder.h"
#include "rx/resample.h"

namespace dot11b::rx {

namespace {

// Each sample the mean of the chip around it (a filter matched to a chip, with its first null at 11 MHz):
// a single sample a chip would keep the noise of the whole 44 MHz band.
ComplexRow chipMatched(const ComplexRow& samples) {
  ComplexRow out(samples.size());
  Complex window(0, 0);
  for (std::size_t n = 0; n < samples.size() + 2; ++n) {
    if (n < samples.size()) window += samples[n];
    if (n >= kSamplesPerChip) window -= samples[n - kSamplesPerChip];
    // The window ends at sample n and centres on n - 1.5: write it at n - 2, half a sample early.
    if (n >= 2) out[n - 2] = window / static_cast<double>(kSamplesPerChip);
  }
  return out;
}

}  // namespace

std::vector<ReceivedFrame> receiveFrames(const ComplexRow& samples, double sampleRate) {
  if (!(sampleRate > 0) || !std::isfinite(sampleRate)) {
    throw std::invalid_argument("the sample rate must be finite and positive");
  }
  const ComplexRow stream44 = chipMatched(resample(samples, sampleRate, kStreamRate));
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
