#include <chrono>
#include <cstdio>
#include <iostream>
#include <optional>

#include "command.h"
#include "parameter_options.h"
#include "parameter_source.h"
#include "runtime/number_text.h"
#include "shell/calculate.h"
#include "shell/frame_description.h"
#include "waveform_output.h"

namespace dot11b::cli {

namespace {

struct GenerateOptions {
  std::string paramsFile;
  std::string out;
  std::string markers;
  std::optional<OutputFormat> format;
};

// Takes the generate options out of args (as "--name VALUE" or "--name=VALUE"); the rest stays for --set.
GenerateOptions takeOptions(const Args& args, Args& rest) {
  GenerateOptions o;
  const auto valueOf = [&](std::size_t& i, std::string_view name) -> std::optional<std::string> {
    const std::string& a = args[i];
    if (a == name) {
      if (i + 1 >= args.size()) throw std::invalid_argument(std::string(name) + " needs a value");
      return args[++i];
    }
    if (a.size() >= name.size() + 1 && a.compare(0, name.size(), name) == 0 && a[name.size()] == '=') {
      if (a.size() == name.size() + 1) throw std::invalid_argument(std::string(name) + " needs a value");
      return a.substr(name.size() + 1);
    }
    return std::nullopt;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (auto v = valueOf(i, "--params")) o.paramsFile = *v;
    else if (auto v = valueOf(i, "--out")) o.out = *v;
    else if (auto v = valueOf(i, "--markers")) o.markers = *v;
    else if (auto v = valueOf(i, "--format")) {
      o.format = parseOutputFormat(*v);
      if (!o.format) throw std::invalid_argument("unknown --format '" + *v + "'; use cf64, iq16, mat, ascii, complex-mat or sigmf");
    } else rest.push_back(args[i]);
  }
  if (o.out.empty()) throw std::invalid_argument("--out FILE is required");
  if (!o.format) o.format = formatFromExtension(o.out);
  if (!o.format)
    throw std::invalid_argument("cannot tell the format of '" + o.out + "' from its extension; use --format");
  return o;
}

std::string millisecondsText(std::chrono::steady_clock::duration d) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", std::chrono::duration<double, std::milli>(d).count());
  return text;
}

}  // namespace

int runGenerate(const Args& args) {
  GenerateOptions options;
  rt::Value parameters;
  try {
    Args setArgs;
    options = takeOptions(args, setArgs);
    Args rest;
    parameters = startingParameters(options.paramsFile);
    applySetOptions(parameters, setArgs, rest);
    if (!rest.empty()) throw std::invalid_argument("unexpected argument '" + rest.front() + "'");
  } catch (const ParameterFileUnusable& e) {
    std::cerr << "dot11b generate: " << e.what() << "\n";
    return kFailed;
  } catch (const std::exception& e) {
    std::cerr << "dot11b generate: " << e.what() << "\n";
    return kUsage;
  }

  try {
    const auto started = std::chrono::steady_clock::now();
    const phy::Frame frame = shell::calculate(parameters);
    const auto took = std::chrono::steady_clock::now() - started;
    writeWaveform(options.out, *options.format, frame, parameters);
    if (!options.markers.empty()) writeMarkers(options.markers, frame);
    const double overSampling = parameters.field("OverSampling").scalarValue();
    std::cerr << frame.waveform.size() << " samples, " << shell::rateAndModulation(parameters) << ", "
              << rt::numberToText(11 * overSampling) << " MHz sampling rate, calculated in "
              << millisecondsText(took) << " ms\n";
  } catch (const std::exception& e) {
    std::cerr << "dot11b generate: " << e.what() << "\n";
    return kFailed;
  }
  return kOk;
}

}  // namespace dot11b::cli
