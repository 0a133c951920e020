// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame_options.h"

#include "impairment_options.h"
#include "parameter_options.h"
#include "parameter_source.h"
#include "sequence_options.h"

namespace dot11b::cli {

FrameOptions takeFrameOptions(Args& args) {
  FrameOptions o;
  o.sequence = takeSequenceOptions(args);
  o.impairments = takeImpairmentOptions(args);
  o.parameters = parametersFromOptions(args);
  expectNoMore(args);
  applySequenceTemplate(o.parameters, o.sequence);
  testbench::sequenceLength(o.parameters, o.sequence.frames);
  channel::checkImpairments(o.impairments, o.sampleRate());
  return o;
}

phy::Frame calculateFrame(const FrameOptions& options) {
  phy::Frame frame = testbench::calculateSequence(options.parameters, options.sequence);
  if (options.impairments.any())
    frame.waveform = channel::impair(std::move(frame.waveform), options.sampleRate(), frame.marker2, options.impairments);
  return frame;
}

}  // namespace dot11b::cli
