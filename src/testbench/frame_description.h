// SPDX-License-Identifier: GPL-3.0-or-later
// Short texts that name a frame's settings, for messages, titles and file annotations.
#pragma once

#include <string>

#include "runtime/value.h"

namespace dot11b::testbench {

// "11 Mbit/s CCK", "5.5 Mbit/s PBCC", "2 Mbit/s DQPSK", "1 Mbit/s DBPSK".
std::string rateAndModulation(const rt::Value& parameters);
// "long preamble" or "short preamble".
std::string preambleName(const rt::Value& parameters);
// Carrier frequency of an IEEE 802.11b channel [Hz]: 2407 + 5 x channel MHz for 1..13, 2484 MHz for 14.
// Throws std::invalid_argument for any other channel.
double channelFrequency(double channel);

}  // namespace dot11b::testbench
