// SPDX-License-Identifier: GPL-3.0-or-later
// The transmitter's modulator errors: I/Q imbalance and DC offset.
#include <cmath>
#include <numbers>

#include "channel/stages.h"

namespace dot11b::channel {

void applyModulatorErrors(ComplexRow& row, double iqGainDb, double iqSkewDeg, Complex dc) {
  const double gain = std::pow(10, iqGainDb / 20), skew = iqSkewDeg * std::numbers::pi / 180;
  const double fromQ = gain * std::cos(skew), fromI = gain * std::sin(skew);
  for (Complex& x : row) x = Complex(x.real(), fromQ * x.imag() + fromI * x.real()) + dc;
}

}  // namespace dot11b::channel
