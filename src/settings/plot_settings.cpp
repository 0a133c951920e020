// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/plot_settings.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "runtime/number_text.h"

namespace dot11b::settings {

namespace {

// The answers as numbers, converted together: the numbers of every field in order, of which the first two
// count, so that "1 0.5" typed in the first field gives both.
std::pair<double, double> twoNumbers(const std::vector<std::string>& answers, const char* title) {
  std::vector<double> numbers;
  for (const std::string& a : answers) {
    const std::vector<double> n = rt::textToNumbers(a);
    if (n.empty() && a.find_first_not_of(" \t,") != std::string::npos)
      throw std::invalid_argument(std::string(title) + ": '" + a + "' is not a number");
    numbers.insert(numbers.end(), n.begin(), n.end());
  }
  if (numbers.size() < 2) throw std::invalid_argument(std::string(title) + ": two numbers are needed");
  return {numbers[0], numbers[1]};
}

double delayInSamples(double delaySymbols, double overSampling) {
  return std::round(std::min(1.0, std::max(0.0, delaySymbols)) * overSampling);
}

}  // namespace

const PlotQuestion& eyeQuestion() {
  static const PlotQuestion q{"Eye Diagram Configuration", {"Enter number of symbols:", "Enter symbol delay (0-1):"}, {"1", "0"}};
  return q;
}

const PlotQuestion& scatterQuestion() {
  static const PlotQuestion q{"Scatter Diagram Configuration", {"Trace On (0|1):", "Enter symbol delay (0-1):"}, {"1", "0"}};
  return q;
}

EyeRequest eyeRequest(const std::vector<std::string>& answers, double waveformLength, double overSampling, double sampleRate) {
  const auto [symbols, delay] = twoNumbers(answers, eyeQuestion().title);
  const double numSym = std::min(std::round(std::max(1.0, symbols)), waveformLength / overSampling);
  return {numSym * overSampling, numSym * overSampling / sampleRate, delayInSamples(delay, overSampling)};
}

ScatterRequest scatterRequest(const std::vector<std::string>& answers, double overSampling) {
  const auto [trace, delay] = twoNumbers(answers, scatterQuestion().title);
  return {std::min(std::round(std::max(0.0, trace)), 1.0), delayInSamples(delay, overSampling)};
}

}  // namespace dot11b::settings
