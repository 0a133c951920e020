// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cmath>

#include "plots/samples.h"

namespace dot11b::plots {

namespace {

// The power of 1000 that x lies in, limited to [lowest, highest]: values beyond the table take its end
// unit (a 1 Hz clock gives periods of hours, a clock below 1 Hz rates below 1), and so does a value
// that is not positive.
int thousands(double x, int lowest, int highest) {
  if (!(x > 0) || !std::isfinite(x)) return 0;
  const double k = std::floor(std::log10(x) / 3);
  return static_cast<int>(std::clamp(k, static_cast<double>(lowest), static_cast<double>(highest)));
}

}  // namespace

Unit frequencyUnit(double sampleRate) {
  switch (thousands(sampleRate, 0, 3)) {
    case 1: return {"kHz", 1e-3};
    case 2: return {"MHz", 1e-6};
    case 3: return {"GHz", 1e-9};
    default: return {"Hz", 1};
  }
}

Unit timeUnit(double seconds) {
  switch (thousands(seconds, -4, 0)) {
    case -1: return {"mS", 1e3};
    case -2: return {"uS", 1e6};
    case -3: return {"nS", 1e9};
    case -4: return {"pS", 1e12};
    default: return {"S", 1};
  }
}

}  // namespace dot11b::plots
