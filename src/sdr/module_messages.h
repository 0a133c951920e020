// SPDX-License-Identifier: GPL-3.0-or-later
// What SoapySDR's modules say of themselves: while they load, look for radios and open them (sound and
// network libraries and the radios' own drivers write straight to standard error), and through SoapySDR's
// log. It is kept off standard error unless asked for, so that the tool's own messages stand out.
#pragma once

namespace dot11b::sdr {

// Lets the modules' messages through (true) or keeps them quiet (false, the default).
void showModuleMessages(bool show);

// While it lives, standard error goes nowhere, unless the modules' messages are shown: around the calls
// into SoapySDR that load modules, find, open and release radios.
class QuietModules {
 public:
  QuietModules();
  ~QuietModules();
  QuietModules(const QuietModules&) = delete;
  QuietModules& operator=(const QuietModules&) = delete;

 private:
  int savedStderr_ = -1;
};

}  // namespace dot11b::sdr
