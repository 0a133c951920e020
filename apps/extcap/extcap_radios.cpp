// SPDX-License-Identifier: GPL-3.0-or-later
#include "extcap_radios.h"

#include <cctype>
#include <cmath>
#include <stdexcept>

#include "runtime/shortest_text.h"
#include "sdr/radio_details.h"

namespace dot11b::extcap {

namespace {

std::string safeName(const std::string& text) {
  std::string out;
  for (const char c : text) out += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return out;
}

// Extcap's braces hold any text but braces and line ends.
std::string field(const std::string& text) {
  std::string out;
  for (const char c : text) out += (c == '{' || c == '}' || c == '\n' || c == '\r') ? ' ' : c;
  return out;
}

const sdr::ChannelDetails* receiveChannel(const sdr::RadioDetails& details) {
  for (const sdr::ChannelDetails& c : details.channels)
    if (c.direction == sdr::Direction::Receive) return &c;
  return nullptr;
}

}  // namespace

std::string interfaceName(const sdr::FoundRadio& radio) {
  const std::string serial = radio.value("serial");
  return "dot11b_" + safeName(radio.value("driver")) + "_" + safeName(serial.empty() ? radio.value("label") : serial);
}

std::string interfaceDisplay(const sdr::FoundRadio& radio) {
  const std::string label = radio.value("label"), serial = radio.value("serial");
  std::string name = label.empty() ? radio.value("driver") : label;
  if (!serial.empty() && name.find(serial) == std::string::npos) name += " " + serial;
  return "802.11b DSSS on " + name;
}

std::string deviceArgs(const std::string& interface, const std::string& extraArgs) {
  for (const sdr::FoundRadio& radio : sdr::findRadios("")) {
    if (interfaceName(radio) != interface) continue;
    std::string args;
    for (const char* key : {"driver", "serial"}) {
      const std::string value = radio.value(key);
      if (!value.empty()) args += (args.empty() ? "" : ",") + std::string(key) + "=" + value;
    }
    if (!extraArgs.empty()) args += (args.empty() ? "" : ",") + extraArgs;
    return args;
  }
  throw std::runtime_error("the radio of interface " + interface + " is not found any more (unplugged or in use?)");
}

void listInterfaces(std::ostream& out, const std::string& version) {
  out << "extcap {version=" << version << "}{display=802.11b DSSS frames from SoapySDR radios}\n";
  for (const sdr::FoundRadio& radio : sdr::findRadios(""))
    out << "interface {value=" << interfaceName(radio) << "}{display=" << field(interfaceDisplay(radio)) << "}\n";
}

void listLinkTypes(std::ostream& out) {
  out << "dlt {number=127}{name=IEEE802_11_RADIO}{display=802.11 plus radiotap header}\n";
}

std::optional<double> channelFrequency(int channel) {
  if (channel == 14) return 2484e6;
  if (channel >= 1 && channel <= 13) return 2407e6 + 5e6 * channel;
  return std::nullopt;
}

void listConfig(std::ostream& out, const std::string& interface) {
  sdr::Radio radio(deviceArgs(interface, ""));
  const sdr::RadioDetails details = sdr::describeRadio(radio);
  const sdr::ChannelDetails* rx = receiveChannel(details);
  if (rx == nullptr) throw std::runtime_error(radio.name() + " has no receive channel");
  const double rate = sdr::chooseRate(rx->rates, sdr::kTwoSamplesAChip);

  out << "arg {number=0}{call=--channel}{display=Channel}{tooltip=The 2.4 GHz channel to receive}{type=selector}\n";
  for (int channel = 1; channel <= 14; ++channel) {
    out << "value {arg=0}{value=" << channel << "}{display=" << channel << " ("
        << rt::shortestText(*channelFrequency(channel) / 1e6) << " MHz)}{default=" << (channel == 1 ? "true" : "false")
        << "}\n";
  }
  out << "arg {number=1}{call=--frequency}{display=Frequency (MHz)}"
         "{tooltip=A centre frequency instead of the channel (leave empty for the channel)}{type=string}\n";
  out << "arg {number=2}{call=--sample-rate}{display=Sample rate (Msample/s)}{tooltip=The radio runs at "
      << field(sdr::ratesText(rx->rates)) << "}{type=double}{default=" << rt::shortestText(rate / 1e6) << "}\n";
  if (!rx->gains.empty()) {
    const sdr::Range& g = rx->gains.front().range;
    out << "arg {number=3}{call=--gain}{display=Gain (dB)}{tooltip=The overall gain, " << rt::shortestText(g.minimum)
        << " to " << rt::shortestText(g.maximum) << " dB}{type=double}{default="
        << rt::shortestText(std::round((g.minimum + g.maximum) / 2)) << "}\n";
  }
  if (!rx->antennas.empty()) {
    out << "arg {number=4}{call=--antenna}{display=Antenna}{type=selector}\n";
    for (std::size_t k = 0; k < rx->antennas.size(); ++k) {
      out << "value {arg=4}{value=" << field(rx->antennas[k]) << "}{display=" << field(rx->antennas[k])
          << "}{default=" << (k == 0 ? "true" : "false") << "}\n";
    }
  }
  out << "arg {number=5}{call=--calibration}{display=Calibration (dB)}"
         "{tooltip=Optional: added to the level in dBFS gives the level in dBm}{type=string}\n";
  out << "arg {number=6}{call=--device-args}{display=SoapySDR arguments}"
         "{tooltip=Optional arguments added to the radio's own (key=value,...)}{type=string}{group=Advanced}\n";
}

}  // namespace dot11b::extcap
