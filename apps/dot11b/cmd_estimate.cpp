// SPDX-License-Identifier: GPL-3.0-or-later
#include <iostream>

#include "command.h"
#include "parameter_options.h"
#include "parameter_source.h"
#include "runtime/error_text.h"
#include "runtime/number_text.h"
#include "sequence_options.h"
#include "settings/start_values.h"
#include "testbench/frame_sequence.h"

namespace dot11b::cli {

int runEstimate(const Args& args) {
  rt::Value parameters = settings::initialParameters();
  double samples = 0;
  try {
    Args options = args, rest;
    testbench::SequenceSettings sequence = takeSequenceOptions(options);
    applySetOptions(parameters, options, rest);
    expectNoMore(rest);
    applySequenceTemplate(parameters, sequence);
    samples = testbench::sequenceLength(parameters, sequence.frames);
  } catch (const std::exception& e) {
    std::cerr << "dot11b estimate: " << rt::userMessage(e) << "\n";
    return kUsage;
  }
  std::cout << rt::numberToText(samples) << "\n";
  return kOk;
}

}  // namespace dot11b::cli
