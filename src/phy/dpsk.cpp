// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/dpsk.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace dot11b::phy {

namespace {

constexpr std::size_t kChipsPerSymbol = 11;

void requireModulatorInput(const char* routine, const Bits& data, Complex initialVector) {
  if (data.empty()) {
    throw std::invalid_argument(std::string(routine) +
                                ": the bit vector is empty; at least one symbol is needed");
  }
  const auto bad = std::find_if(data.begin(), data.end(), [](uint8_t b) { return b > 1; });
  if (bad != data.end()) {
    throw std::invalid_argument(std::string(routine) + ": bit " + std::to_string(bad - data.begin() + 1) +
                                " holds " + std::to_string(*bad) + "; bits must be 0 or 1");
  }
  if (!std::isfinite(initialVector.real()) || !std::isfinite(initialVector.imag())) {
    throw std::invalid_argument(std::string(routine) + ": the initial phasor is not finite");
  }
}

void requireEvenCount(const char* routine, const Bits& data) {
  if (data.size() % 2 != 0) {
    throw std::invalid_argument(std::string(routine) + ": " + std::to_string(data.size()) +
                                " bits do not form whole dibits; an even count is needed");
  }
}

// Phase change of one dibit (IEEE 802.11b-1999 18.4.6.4): 00 -> 1, 01 -> j, 11 -> -1, 10 -> -j.
Complex dibitFactor(uint8_t firstBit, uint8_t secondBit) {
  const double re = 1.0 - (firstBit + secondBit);
  const double im = static_cast<double>(secondBit) - firstBit;
  return {re, im};
}

Modulated spreadWithLastPhase(const ComplexRow& symbols) {
  return Modulated{barkerSpread(symbols), symbols.back()};
}

}  // namespace

ComplexRow dbpsk(const Bits& data, Complex initialVector) {
  requireModulatorInput("Dot11b_DBPSK", data, initialVector);
  ComplexRow output(data.size());
  Complex previous = initialVector;
  for (std::size_t k = 0; k < data.size(); ++k) {
    // Bit 1 turns the phase by pi (18.4.6.3); the product keeps the magnitude of initialVector.
    previous = data[k] ? -previous : previous;
    output[k] = previous;
  }
  return output;
}

ComplexRow dqpsk(const Bits& data, Complex initialVector) {
  requireModulatorInput("Dot11b_DQPSK", data, initialVector);
  requireEvenCount("Dot11b_DQPSK", data);
  ComplexRow output(data.size() / 2);
  Complex previous = initialVector;
  for (std::size_t k = 0; k < output.size(); ++k) {
    previous *= dibitFactor(data[2 * k], data[2 * k + 1]);
    output[k] = previous;
  }
  return output;
}

const RealRow& barkerSequence() {
  static const RealRow kBarker = {+1, -1, +1, +1, -1, +1, +1, +1, -1, -1, -1};
  return kBarker;
}

ComplexRow barkerSpread(const ComplexRow& symbols) {
  const RealRow& barker = barkerSequence();
  ComplexRow chips(kChipsPerSymbol * symbols.size());
  auto chip = chips.begin();
  for (const Complex& symbol : symbols) {
    for (const double b : barker) *chip++ = b * symbol;
  }
  return chips;
}

Modulated modulate1Mbps(const Bits& bits, Complex initialPhase) {
  return spreadWithLastPhase(dbpsk(bits, initialPhase));
}

Modulated modulate2Mbps(const Bits& bits, Complex initialPhase) {
  return spreadWithLastPhase(dqpsk(bits, initialPhase));
}

}  // namespace dot11b::phy
