// SPDX-License-Identifier: GPL-3.0-or-later
#include "sig_gen_options.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <stdexcept>
#include <string>
#include <string_view>

#include "runtime/number_text.h"
#include "runtime/shortest_text.h"
#include "runtime/value_range.h"
#include "settings/start_values.h"

namespace dot11b::cli {
namespace {

struct NumberOption {
  std::string_view option;
  const char* field;
  double low, high;  // the range the settings panels allow
  bool whole;
};

constexpr NumberOption kNumberOptions[] = {
    {"--frequency", "Frequency", 100e3, 6e9, false},
    {"--amplitude", "Amplitude", -136, 20, false},
    {"--sampling-rate", "SamplingRate", 1, 100e6, false},
    {"--bbfilter", "BBfilter", 1, 3, true},
    {"--recon-filter", "ReconFilter", 1, 4, true},
    {"--scaling", "Scaling", 1, 100, false},
    {"--mod-atten", "ModAtten", 0, 40, true},
    {"--alc", "ALC", 0, 1, true},
    {"--rf-blanking", "RFblanking", 0, 1, true},
    {"--marker-polarity", "MarkerPolarity", 0, 1, true},
    {"--arb-ref", "ArbRefSource", 0, 1, true},
};

constexpr std::string_view kTitleCharacters = "_$&#+-[]";
constexpr std::size_t kMaxTitleLength = 20;

double number(const NumberOption& o, const std::string& text) {
  const auto value = rt::parseReal(text);
  if (!value || !(*value >= o.low && *value <= o.high) || (o.whole && *value != std::floor(*value))) {  // NaN fails
    throw std::invalid_argument(std::string(o.option) + " needs " + (o.whole ? "a whole number" : "a number") + " from " +
                                rt::shortestText(o.low) + " to " + rt::shortestText(o.high) + ", not '" +
                                rt::echoed(text) + "'");
  }
  return *value;
}

// The characters the waveform title field keeps: letters, digits and _ $ & # + - [ ].
std::string checkedTitle(const std::string& title) {
  const bool allowed = !title.empty() && title.size() <= kMaxTitleLength &&
                       std::all_of(title.begin(), title.end(), [](unsigned char c) {
                         return std::isalnum(c) || kTitleCharacters.find(static_cast<char>(c)) != std::string_view::npos;
                       });
  if (!allowed) {
    throw std::invalid_argument("--title needs 1 to 20 letters, digits or _ $ & # + - [ ], not '" + rt::echoed(title) +
                                "'");
  }
  return title;
}

}  // namespace

double channelFrequency(double channel) { return channel == 14 ? 2484e6 : (2407 + 5 * channel) * 1e6; }

rt::Value sigGenSettingsFromOptions(const rt::Value& parameters, const Args& args, Args& rest) {
  rt::Value settings = settings::initialSigGenSettings(parameters.field("OverSampling").scalarValue());
  settings.setField("Frequency", rt::Value::scalar(channelFrequency(parameters.field("Channel").scalarValue())));
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    const auto matching = std::find_if(std::begin(kNumberOptions), std::end(kNumberOptions),
                                       [&](const NumberOption& o) { return o.option == option; });
    const bool takesValue = matching != std::end(kNumberOptions) || option == "--title";
    if (!takesValue) {
      rest.push_back(option);
      continue;
    }
    if (i + 1 >= args.size() || args[i + 1].empty()) throw std::invalid_argument(option + " needs a value");
    const std::string& value = args[++i];
    if (option == "--title") settings.setField("Title", rt::Value::text(checkedTitle(value)));
    else settings.setField(matching->field, rt::Value::scalar(number(*matching, value)));
  }
  return settings;
}

}  // namespace dot11b::cli
