// SPDX-License-Identifier: GPL-3.0-or-later
// dot11b-extcap: Wireshark's capture interface for 802.11b DSSS frames received by a SoapySDR radio and
// decoded by the built-in receiver. Wireshark calls it with --extcap-interfaces, --extcap-dlts,
// --extcap-config and --capture; errors go to stderr, which Wireshark shows.
#include <algorithm>
#include <cmath>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "extcap_capture.h"
#include "extcap_radios.h"
#include "runtime/number_text.h"

namespace {

using namespace dot11b::extcap;

const char* const kUsage =
    "Usage: dot11b-extcap --extcap-interfaces\n"
    "       dot11b-extcap --extcap-interface IF --extcap-dlts | --extcap-config\n"
    "       dot11b-extcap --extcap-interface IF --capture --fifo PATH [--channel N] [--frequency MHZ]\n"
    "                     [--sample-rate MSPS] [--gain DB] [--antenna NAME] [--calibration DB]\n"
    "                     [--device-args ARGS]\n\n"
    "Wireshark's capture interface for 802.11b DSSS frames: lists each radio SoapySDR finds as an interface,\n"
    "and captures by decoding what the radio receives, writing each frame as pcapng with radiotap to\n"
    "Wireshark's FIFO until Wireshark stops it. Install it in Wireshark's extcap folder\n"
    "(~/.config/wireshark/extcap/ for one user).\n";

// The options: "--name value", "--name=value" or a flag.
struct Options {
  std::map<std::string, std::string> values;
  std::vector<std::string> flags;
  bool has(const std::string& name) const {
    return values.count(name) != 0 || std::find(flags.begin(), flags.end(), name) != flags.end();
  }
  std::string value(const std::string& name) const {
    const auto at = values.find(name);
    return at == values.end() ? "" : at->second;
  }
};

const std::vector<std::string> kFlags = {"--extcap-interfaces", "--extcap-dlts", "--extcap-config", "--capture",
                                         "--help", "-h", "--debug"};
const std::vector<std::string> kValued = {"--extcap-interface", "--extcap-version", "--extcap-capture-filter",
                                          "--fifo", "--channel", "--frequency", "--sample-rate", "--gain",
                                          "--antenna", "--calibration", "--device-args", "--debug-file"};

Options parse(int argc, char** argv) {
  Options o;
  for (int k = 1; k < argc; ++k) {
    std::string arg = argv[k], value;
    const std::size_t equals = arg.find('=');
    const bool inlineValue = arg.rfind("--", 0) == 0 && equals != std::string::npos;
    if (inlineValue) {
      value = arg.substr(equals + 1);
      arg = arg.substr(0, equals);
    }
    if (std::find(kFlags.begin(), kFlags.end(), arg) != kFlags.end() && !inlineValue) {
      o.flags.push_back(arg);
    } else if (std::find(kValued.begin(), kValued.end(), arg) != kValued.end()) {
      if (!inlineValue) {
        if (k + 1 >= argc) throw std::invalid_argument(arg + " needs a value");
        value = argv[++k];
      }
      o.values[arg] = value;
    } else {
      throw std::invalid_argument("unknown option '" + std::string(argv[k]) + "'");
    }
  }
  return o;
}

// A number option, nothing when absent or empty (Wireshark passes an empty field so).
std::optional<double> number(const Options& o, const std::string& name, double unit) {
  const std::string text = o.value(name);
  if (text.empty()) return std::nullopt;
  const std::optional<double> value = dot11b::rt::parseReal(text);
  if (!value || !std::isfinite(*value)) throw std::invalid_argument(name + " takes a number, not '" + text + "'");
  return *value * unit;
}

CaptureSettings captureSettings(const Options& o) {
  CaptureSettings s;
  s.interface = o.value("--extcap-interface");
  s.fifo = o.value("--fifo");
  if (s.fifo.empty()) throw std::invalid_argument("--capture needs --fifo PATH");
  if (const auto channel = number(o, "--channel", 1)) {
    if (*channel != std::floor(*channel) || !channelFrequency(static_cast<int>(*channel)))
      throw std::invalid_argument("--channel takes 1 to 14, not '" + o.value("--channel") + "'");
    s.channel = static_cast<int>(*channel);
  }
  s.frequency = number(o, "--frequency", 1e6);
  s.sampleRate = number(o, "--sample-rate", 1e6);
  for (const auto& value : {s.frequency, s.sampleRate})
    if (value && !(*value > 0)) throw std::invalid_argument("--frequency and --sample-rate must be greater than 0");
  s.gain = number(o, "--gain", 1);
  s.antenna = o.value("--antenna");
  s.calibrationDb = number(o, "--calibration", 1);
  s.deviceArgs = o.value("--device-args");
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  try {
    options = parse(argc, argv);
    if (options.has("--help") || options.has("-h") || argc == 1) {
      std::cout << kUsage;
      return 0;
    }
    if (options.has("--extcap-interfaces")) {
      listInterfaces(std::cout, DOT11B_VERSION);
      return 0;
    }
    const std::string interface = options.value("--extcap-interface");
    if (interface.empty()) throw std::invalid_argument("--extcap-interface IF is required");
    if (options.has("--extcap-dlts")) {
      listLinkTypes(std::cout);
      return 0;
    }
    if (options.has("--extcap-config")) {
      listConfig(std::cout, interface);
      return 0;
    }
    if (options.has("--capture")) return capture(captureSettings(options), std::cerr);
    if (options.has("--extcap-capture-filter")) {
      // Checking a capture filter: the frames are decoded, not filtered, so only an empty one is valid.
      if (!options.value("--extcap-capture-filter").empty())
        std::cout << "capture filters are not applied; use a display filter such as wlan.fc.type_subtype == 8\n";
      return 0;
    }
    throw std::invalid_argument("nothing to do: --extcap-dlts, --extcap-config or --capture");
  } catch (const std::invalid_argument& e) {
    std::cerr << "dot11b-extcap: " << e.what() << "\n";
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "dot11b-extcap: " << e.what() << "\n";
    return 1;
  }
}
