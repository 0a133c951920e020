// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <iostream>

#include "command.h"
#include "parameter_options.h"
#include "parameter_source.h"
#include "runtime/shortest_text.h"
#include "sdr/module_messages.h"
#include "sdr/radio_details.h"

namespace dot11b::cli {

namespace {

std::string rangeText(const sdr::Range& r, double unit) {
  std::string text = rt::shortestText(r.minimum / unit);
  if (r.maximum > r.minimum) text += " to " + rt::shortestText(r.maximum / unit);
  if (r.step > 0 && r.maximum > r.minimum) text += " in steps of " + rt::shortestText(r.step / unit);
  return text;
}

std::string rangesText(const std::vector<sdr::Range>& ranges, double unit, const char* unitName) {
  std::string text;
  for (const sdr::Range& r : ranges) text += (text.empty() ? "" : ", ") + rangeText(r, unit);
  return (text.empty() ? "none" : text) + " " + unitName;
}

std::string listText(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& n : names) text += (text.empty() ? "" : ", ") + n;
  return text.empty() ? "none" : text;
}

void printDetails(const sdr::RadioDetails& details) {
  std::cout << "  hardware " << details.hardware << " (module " << details.driver << ")\n";
  for (const sdr::ChannelDetails& c : details.channels) {
    std::cout << "  " << (c.direction == sdr::Direction::Transmit ? "transmit" : "receive") << " channel " << c.index
              << (c.fullDuplex ? " (full duplex)" : "") << "\n"
              << "    antennas:     " << listText(c.antennas) << "\n"
              << "    sample rates: " << rangesText(c.rates, 1e6, "Msample/s") << "\n"
              << "    frequencies:  " << rangesText(c.frequencies, 1e6, "MHz") << "\n"
              << "    gain:         " << rangeText(c.gains.front().range, 1) << " dB";
    for (std::size_t k = 1; k < c.gains.size(); ++k)
      std::cout << (k == 1 ? "; " : ", ") << c.gains[k].name << " " << rangeText(c.gains[k].range, 1) << " dB";
    std::cout << "\n    formats:      " << listText(c.formats) << "; its own " << c.nativeFormat << ", full scale "
              << rt::shortestText(c.fullScale) << "\n";
  }
}

}  // namespace

int runDevices(const Args& args) {
  std::string device;
  if (const auto status = takeOptions("devices", [&] {
        Args rest = args;
        device = takeOption(rest, "--device");
        if (const auto at = std::find(rest.begin(), rest.end(), "--verbose"); at != rest.end()) {
          rest.erase(at);
          sdr::showModuleMessages(true);
        }
        expectNoMore(rest);
      })) {
    return *status;
  }
  try {
    if (!device.empty()) {
      sdr::Radio radio(device);
      std::cout << radio.found().text() << "\n";
      printDetails(sdr::describeRadio(radio));
      return kOk;
    }
    const std::vector<sdr::FoundRadio> radios = sdr::findRadios("");
    if (radios.empty()) {
      std::cout << "No radio found. SoapySDR finds a radio through its module (Debian: soapysdr-module-hackrf,\n"
                   "-uhd, -bladerf, -lms7 or soapysdr-module-all); 'SoapySDRUtil --info' lists those installed.\n"
                << sdr::kNamedModulesHint << "\n";
    }
    for (const sdr::FoundRadio& r : radios) std::cout << r.text() << "\n";
  } catch (const std::exception& e) {
    std::cerr << "dot11b devices: " << e.what() << "\n";
    return kFailed;
  }
  return kOk;
}

}  // namespace dot11b::cli
