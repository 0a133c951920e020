// SPDX-License-Identifier: GPL-3.0-or-later
// The radios SoapySDR finds as Wireshark capture interfaces: a stable name for each, what Wireshark lists,
// and the configuration it offers (channel, sample rate, gain, antenna, calibration) with defaults that
// work on the radio found.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "sdr/radio.h"

namespace dot11b::extcap {

// "dot11b_hackrf_0123456789abcdef": the module's name and the radio's serial (or label), letters, digits
// and '_' only, so that Wireshark can keep settings under it.
std::string interfaceName(const sdr::FoundRadio& radio);
// "802.11b DSSS on HackRF One 0123456789abcdef".
std::string interfaceDisplay(const sdr::FoundRadio& radio);

// The SoapySDR arguments of the radio behind `interface`, with `extraArgs` added (may be ""). Throws
// std::runtime_error when no radio has that name any more.
std::string deviceArgs(const std::string& interface, const std::string& extraArgs);

// --extcap-interfaces: the program and one line per radio found.
void listInterfaces(std::ostream& out, const std::string& version);
// --extcap-dlts: link type 127.
void listLinkTypes(std::ostream& out);
// --extcap-config: the capture's settings, with the defaults of the radio behind `interface`.
void listConfig(std::ostream& out, const std::string& interface);

// The frequency [Hz] of channel 1..14 of the 2.4 GHz band; nothing for another number.
std::optional<double> channelFrequency(int channel);

}  // namespace dot11b::extcap
