// SPDX-License-Identifier: GPL-3.0-or-later
#include "testbench/frame_description.h"

#include <cmath>
#include <stdexcept>

#include "runtime/number_text.h"
#include "runtime/shortest_text.h"

namespace dot11b::testbench {

std::string rateAndModulation(const rt::Value& p) {
  const double rate = p.field("dataRate").scalarValue();
  std::string modulation;
  if (rate == 1) modulation = "DBPSK";
  else if (rate == 2) modulation = "DQPSK";
  else modulation = p.field("highRateMod").scalarValue() == 1 ? "PBCC" : "CCK";
  return rt::numberToText(rate) + " Mbit/s " + modulation;
}

std::string preambleName(const rt::Value& p) {
  return p.field("preambleType").scalarValue() == 1 ? "short preamble" : "long preamble";
}

double channelFrequency(double channel) {
  if (channel == 14) return 2484e6;
  if (channel >= 1 && channel <= 13 && channel == std::trunc(channel)) return (2407 + 5 * channel) * 1e6;
  throw std::invalid_argument("channelFrequency: channel " + rt::shortestText(channel) + " is not 1..14");
}

}  // namespace dot11b::testbench
