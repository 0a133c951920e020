// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>

#include "plots/samples.h"

namespace dot11b::plots {

Unit frequencyUnit(double sampleRate) {
  switch (static_cast<int>(std::floor(std::log10(sampleRate) / 3))) {
    case 0: return {"Hz", 1};
    case 1: return {"kHz", 1e-3};
    case 2: return {"MHz", 1e-6};
    default: return {"GHz", 1e-9};
  }
}

Unit timeUnit(double seconds) {
  switch (static_cast<int>(std::floor(std::log10(seconds) / 3))) {
    case 0: return {"S", 1};
    case -1: return {"mS", 1e3};
    case -2: return {"uS", 1e6};
    case -3: return {"nS", 1e9};
    default: return {"pS", 1e12};
  }
}

}  // namespace dot11b::plots
