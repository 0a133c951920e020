// SPDX-License-Identifier: GPL-3.0-or-later
#include "composition_options.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "frame_options.h"
#include "impairment_options.h"
#include "parameter_options.h"
#include "parameter_source.h"
#include "runtime/number_text.h"
#include "sequence_options.h"
#include "testbench/generator_level.h"
#include "runtime/shortest_text.h"
#include "runtime/value_range.h"

namespace dot11b::cli {

namespace {

// The words of an interferer's options: split at blanks, with '...' and "..." holding blanks.
Args words(const std::string& text) {
  Args out;
  std::string word;
  bool inWord = false;
  char quote = 0;
  for (const char c : text) {
    if (quote) {
      if (c == quote) quote = 0;
      else word += c;
    } else if (c == '\'' || c == '"') {
      quote = c;
      inWord = true;
    } else if (c == ' ' || c == '\t' || c == '\n') {
      if (inWord) out.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (quote) throw std::invalid_argument(std::string("an unclosed ") + quote + " in '" + rt::echoed(text) + "'");
  if (inWord) out.push_back(word);
  return out;
}

double number(const std::string& option, const std::string& text) {
  const auto value = rt::parseReal(text);
  if (!value || !std::isfinite(*value))
    throw std::invalid_argument(option + ": '" + rt::echoed(text) + "' is not a number");
  return *value;
}

// "HZ,DB".
testbench::Tone tone(const std::string& text) {
  const auto comma = text.find(',');
  if (comma == std::string::npos) throw std::invalid_argument("--cw must be HZ,DB, not '" + rt::echoed(text) + "'");
  return {number("--cw HZ", text.substr(0, comma)), number("--cw DB", text.substr(comma + 1))};
}

testbench::Interferer interferer(const std::string& options, std::size_t index) {
  const std::string name = "--interferer " + std::to_string(index + 1);
  try {
    Args args = words(options);
    testbench::Interferer it;
    it.signal = takeFrameOptions(args);
    return it;
  } catch (const std::exception& e) {
    throw std::invalid_argument(name + ": " + e.what());
  }
}

}  // namespace

void takeOtherSignals(Args& args, testbench::CompositionSettings& s) {
  Args rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    const bool ours = option == "--interferer" || option == "--offset" || option == "--level" ||
                      option == "--interferer-start" || option == "--cw" || option == "--noise";
    if (!ours) {
      rest.push_back(option);
      continue;
    }
    if (i + 1 >= args.size()) throw std::invalid_argument(option + " needs a value");
    const std::string& value = args[++i];
    if (option == "--interferer") {
      s.interferers.push_back(interferer(value, s.interferers.size()));
      continue;
    }
    if (option == "--cw") {
      if (s.tone) throw std::invalid_argument("--cw is given twice");
      s.tone = tone(value);
      continue;
    }
    if (option == "--noise") {
      if (s.noiseDb) throw std::invalid_argument("--noise is given twice");
      s.noiseDb = number(option, value);
      continue;
    }
    if (s.interferers.empty()) throw std::invalid_argument(option + " belongs to an --interferer given before it");
    testbench::Interferer& it = s.interferers.back();
    const double x = number(option, value);
    if (option == "--offset") it.offsetHz = x;
    else if (option == "--level") it.levelDb = x;
    else it.startSeconds = x;
  }
  args = rest;
}

std::optional<CompositionOptions> takeReceiverTest(Args& args) {
  const std::string name = takeOption(args, "--test");
  if (name.empty()) return std::nullopt;
  const auto test = testbench::receiverTestNamed(name);
  if (!test)
    throw std::invalid_argument("--test must be sensitivity, max-input, adjacent-channel or cca, not '" +
                                rt::echoed(name) + "'");
  const double rate = takeNumberOption(args, "--rate-mbps").value_or(11);
  const double frames = takeNumberOption(args, "--frames").value_or(100);
  if (frames != std::floor(frames) || frames < 1 || frames > static_cast<double>(testbench::kMaxSequenceFrames))
    throw std::invalid_argument("--frames must be a whole number from 1 to " +
                                std::to_string(testbench::kMaxSequenceFrames));
  const auto spacing = takeNumberOption(args, "--channel-spacing");
  const auto level = takeNumberOption(args, "--level");
  const auto seed = takeSeedOption(args);
  CompositionOptions o;
  try {
    o.plan = testbench::receiverTestPlan(*test, rate, static_cast<std::size_t>(frames), spacing);
  } catch (const std::invalid_argument& e) {
    throw std::invalid_argument(std::string("--test ") + name + ": " + e.what());
  }
  if (level) {
    try {
      testbench::setWantedLevel(*o.plan, *level);
    } catch (const std::invalid_argument& e) {
      throw std::invalid_argument(std::string("--level: ") + e.what());
    }
  }
  o.wantedLevelDbm = o.plan->wantedLevelDbm;
  o.settings = testbench::receiverTestComposition(*o.plan, parametersFromOptions(args));
  if (seed) o.settings.wanted.impairments.seed = *seed;
  return o;
}

CompositionOptions takeCompositionOptions(Args& args, std::optional<double> sampleRate) {
  CompositionOptions o;
  if (auto test = takeReceiverTest(args)) {
    o = std::move(*test);
    expectNoMore(args);
  } else {
    takeOtherSignals(args, o.settings);
    o.settings.wanted = takeFrameOptions(args);
  }
  o.settings.seed = o.settings.wanted.impairments.seed;
  o.settings.sampleRate = sampleRate;
  testbench::compositeRate(o.settings);
  return o;
}

namespace {

std::string signedText(double x) { return (x >= 0 ? "+" : "") + rt::shortestText(x); }

std::string decibels(double x) {
  char text[32];
  std::snprintf(text, sizeof text, "%+.2f dB", x);
  return text;
}

}  // namespace

std::vector<std::string> otherSignalNames(const testbench::CompositionSettings& s) {
  std::vector<std::string> names;
  for (std::size_t k = 0; k < s.interferers.size(); ++k) {
    const testbench::Interferer& it = s.interferers[k];
    names.push_back("interferer " + std::to_string(k + 1) + ": " + testbench::signalName(it.signal) + ", " +
                    signedText(it.offsetHz / 1e6) + " MHz, " + signedText(it.levelDb) + " dB");
  }
  if (s.tone)
    names.push_back("tone: " + signedText(s.tone->offsetHz / 1e6) + " MHz, " + signedText(s.tone->levelDb) + " dB");
  if (s.noiseDb) names.push_back("noise: " + signedText(*s.noiseDb) + " dB in 11 MHz");
  return names;
}

std::vector<std::string> compositionLines(const CompositionOptions& o, const testbench::Composite& c) {
  std::vector<std::string> lines;
  if (o.plan) lines = testbench::planLines(*o.plan);
  lines.push_back(std::to_string(c.frame.waveform.size()) + " samples at " + rt::shortestText(c.sampleRate / 1e6) +
                  " MHz; wanted signal: " + testbench::signalName(o.settings.wanted) + ", at 0 Hz");
  const std::vector<std::string> others = otherSignalNames(o.settings);
  for (std::size_t k = 0; k < others.size(); ++k)
    lines.push_back(others[k] + (k < c.interfererStarts.size()
                                     ? ", its first sample at sample " + std::to_string(c.interfererStarts[k])
                                     : std::string()));
  for (std::size_t k = 0; k < c.interfererPsdus.size(); ++k) {
    if (!c.interfererPsdus[k].empty() && !c.wantedPsdus.empty() && c.interfererPsdus[k][0] == c.wantedPsdus[0])
      lines.push_back("warning: interferer " + std::to_string(k + 1) +
                      " carries the wanted frames' data (a payload of one repeated pattern); give it its own, such "
                      "as --set dataSourceType=5 (PN9)");
  }
  const double over = testbench::instrumentLevelDbm(c, 0);
  lines.push_back("The waveform's mean power lies " + decibels(over) +
                  " from the wanted signal's during its frames: the signal generator's amplitude is the wanted "
                  "level " + decibels(over));
  if (o.wantedLevelDbm) {
    const double amplitude = testbench::instrumentLevelDbm(c, *o.wantedLevelDbm);
    char text[160];
    std::snprintf(text, sizeof text, "Signal generator amplitude: %.2f dBm puts the wanted signal at %s dBm", amplitude,
                  rt::shortestText(*o.wantedLevelDbm).c_str());
    lines.emplace_back(text);
    if (amplitude < testbench::kLowestAmplitudeDbm || amplitude > testbench::kHighestAmplitudeDbm)
      lines.push_back("warning: that amplitude lies outside the signal generator's -136 to 20 dBm");
  }
  return lines;
}

phy::Frame receiverTestWaveform(const CompositionOptions& test, rt::Value& sigGenSettings,
                                std::vector<std::string>& report) {
  testbench::checkSampleClock(testbench::compositeRate(test.settings));
  testbench::Composite c = testbench::compose(test.settings);
  report = compositionLines(test, c);
  const testbench::GeneratorLevel level = testbench::generatorLevel(c, *test.wantedLevelDbm);
  if (level.clamped)
    report.push_back("warning: the amplitude is set to " + rt::shortestText(level.amplitudeDbm) +
                     " dBm, the nearest the signal generator takes: the wanted signal arrives at " +
                     rt::shortestText(level.wantedDbm) + " dBm");
  sigGenSettings.setField("Amplitude", rt::Value::scalar(level.amplitudeDbm));
  sigGenSettings.setField("SamplingRate", rt::Value::scalar(c.sampleRate));
  return std::move(c.frame);
}

}  // namespace dot11b::cli
