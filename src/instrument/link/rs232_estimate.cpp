// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/link/rs232_estimate.h"

#include <cstdio>

namespace dot11b::instrument {

double rs232TransferMinutes(std::size_t n, double baud) { return static_cast<double>(n) * 32 * 1.125 / baud / 60; }

std::string rs232Question(double minutes) {
  char text[160];
  std::snprintf(text, sizeof text, "This Download will take approximately %g minutes. Do you want to continue?",
                minutes);
  return text;
}

}  // namespace dot11b::instrument
