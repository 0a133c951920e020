// SPDX-License-Identifier: GPL-3.0-or-later
// dot11b plot VIEW: a view of a frame rendered off screen to a PNG, and its data as CSV.
#include <iostream>
#include <map>

#include "c_host.h"
#include "command.h"
#include "parameter_options.h"
#include "parameter_source.h"
#include "phy/pulse_shaping.h"
#include "runtime/error_text.h"
#include "runtime/number_text.h"
#include "runtime/shortest_text.h"
#include "runtime/value_range.h"
#include "rx/verify/verification.h"
#include "sequence_options.h"
#include "settings/calculate.h"
#include "settings/plot_settings.h"
#include "settings/start_values.h"
#include "testbench/mask_inputs.h"

namespace dot11b::cli {

namespace {

using rt::Value;

struct PlotOptions {
  std::string view, png, csv;
  int width = 800, height = 600;
  std::string symbols = "1", delay = "0", trace = "1";
};

const std::map<std::string, const char*>& viewRoutines() {
  static const std::map<std::string, const char*> routines{
      {"ccdf", "VX_PlotCCDF"},     {"spectrum", "VX_PlotSpectrum"},      {"iq", "VX_PlotIQTime"},
      {"iq-overlay", "VX_PlotIQTime"}, {"eye", "VX_PlotEyeDiagram"}, {"scatter", "VX_PlotScatterDiagram"},
      {"waterfall", "VX_PlotWaterfall"}, {"mask", "VX_PlotMask"}};
  return routines;
}

void parseSize(const std::string& text, PlotOptions& o) {
  const auto x = text.find('x');
  const auto w = x == std::string::npos ? std::nullopt : rt::parseReal(text.substr(0, x));
  const auto h = x == std::string::npos ? std::nullopt : rt::parseReal(text.substr(x + 1));
  if (!w || !h || *w < 100 || *h < 100 || *w > 8000 || *h > 8000 || *w != static_cast<int>(*w) || *h != static_cast<int>(*h)) {
    throw std::invalid_argument("--size must be WIDTHxHEIGHT, each 100 to 8000 pixels, not '" + rt::echoed(text) + "'");
  }
  o.width = static_cast<int>(*w);
  o.height = static_cast<int>(*h);
}

PlotOptions takePlotOptions(Args& args) {
  PlotOptions o;
  if (args.empty() || args.front().rfind("--", 0) == 0) throw std::invalid_argument("name the VIEW first");
  o.view = args.front();
  args.erase(args.begin());
  if (!viewRoutines().count(o.view)) {
    throw std::invalid_argument("unknown view '" + o.view + "'; use ccdf, spectrum, iq, iq-overlay, eye, scatter, waterfall or mask");
  }
  o.png = takeOption(args, "--png");
  o.csv = takeOption(args, "--csv");
  if (const std::string size = takeOption(args, "--size"); !size.empty()) parseSize(size, o);
  // The eye and scatter settings are answers typed into the window's questions: numbers, checked here so that
  // one that is no number is a bad option rather than a failed plot.
  for (auto [name, field] : {std::pair{"--symbols", &o.symbols}, {"--delay", &o.delay}, {"--trace", &o.trace}}) {
    if (const auto value = takeNumberOption(args, name)) *field = rt::shortestText(*value);
  }
  if (o.png.empty()) throw std::invalid_argument("--png FILE is required");
  return o;
}

// The view's inputs after (owner, title), as the application window's Plot commands give them: from the
// quantised frame, which `samples` holds as a value.
std::vector<Value> viewInputs(const PlotOptions& o, const ComplexRow& quantised, const Value& samples, double rate,
                              double overSampling) {
  const double length = static_cast<double>(samples.numel());
  if (o.view == "spectrum") return {Value::scalar(rate), samples};
  if (o.view == "iq" || o.view == "iq-overlay") return {Value::scalar(rate), Value::scalar(o.view == "iq" ? 0 : 1), samples};
  if (o.view == "waterfall") return {Value::scalar(rate), Value::scalar(length / rate / 200), samples};
  if (o.view == "eye") {
    const settings::EyeRequest eye = settings::eyeRequest({o.symbols, o.delay}, length, overSampling, rate);
    return {samples, Value::scalar(eye.samplesPerTrace), Value::scalar(eye.period), Value::scalar(eye.delaySamples)};
  }
  if (o.view == "mask") {
    const rx::Verification v = rx::verifyCapture(quantised, rate, std::nullopt);
    if (!v.mask) throw std::runtime_error("the receiver found no frame to measure the spectrum mask of");
    return testbench::maskPlotInputs(*v.mask);
  }
  if (o.view == "scatter") {
    const settings::ScatterRequest s = settings::scatterRequest({o.trace, o.delay}, overSampling);
    return {samples, Value::scalar(overSampling), Value::scalar(s.delaySamples), Value::scalar(s.traceOn)};
  }
  return {samples};
}

}  // namespace

int runPlot(const Args& args) {
  PlotOptions options;
  Value parameters;
  if (const auto status = takeOptions("plot", [&] {
        Args rest = args;
        options = takePlotOptions(rest);
        parameters = parametersFromOptions(rest);
        expectNoMore(rest);
      })) {
    return *status;
  }

  try {
    const phy::Frame frame = settings::calculate(parameters);
    const double overSampling = parameters.field("OverSampling").scalarValue();
    const double rate = 11e6 * overSampling;
    const auto quantised = phy::applyDacRes(frame.waveform, 14);
    std::vector<double> re, im;
    for (const auto& s : quantised) {
      re.push_back(s.real());
      im.push_back(s.imag());
    }
    const Value samples = Value::matrix(1, quantised.size(), std::move(re), std::move(im));
    std::vector<Value> in{Value::scalar(0), Value::text(settings::initialAppInfo().field("Name").toUtf8())};
    for (Value& v : viewInputs(options, quantised, samples, rate, overSampling)) in.push_back(std::move(v));

    if (!drawOffscreen(viewRoutines().at(options.view), in, options.png, options.csv, options.width, options.height))
      return kFailed;  // the view said why
    std::cerr << "wrote " << options.png << (options.csv.empty() ? "" : " and " + options.csv) << "\n";
  } catch (const std::exception& e) {
    std::cerr << "dot11b plot: " << rt::userMessage(e) << "\n";
    return kFailed;
  }
  return kOk;
}

}  // namespace dot11b::cli
