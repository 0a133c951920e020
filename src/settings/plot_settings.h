// SPDX-License-Identifier: GPL-3.0-or-later
// The settings the eye and scatter commands ask for, turned into what their views take, with the
// commands' clamps: whole symbols, no more than the waveform holds, a delay of 0 to 1 symbol.
#pragma once

#include <string>
#include <vector>

namespace dot11b::settings {

// The input dialogs' titles, prompts and defaults.
struct PlotQuestion {
  const char* title;
  std::vector<std::string> prompts;
  std::vector<std::string> defaults;
};
const PlotQuestion& eyeQuestion();
const PlotQuestion& scatterQuestion();

struct EyeRequest {
  double samplesPerTrace;  // symbols x oversampling
  double period;           // seconds a trace spans
  double delaySamples;
};
// answers: the number of symbols and the symbol delay, as typed. Throws std::invalid_argument when they
// are not two numbers.
EyeRequest eyeRequest(const std::vector<std::string>& answers, double waveformLength, double overSampling, double sampleRate);

struct ScatterRequest {
  double traceOn;  // 0 or 1
  double delaySamples;
};
ScatterRequest scatterRequest(const std::vector<std::string>& answers, double overSampling);

}  // namespace dot11b::settings
