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

}  // namespace dot11b::cli
