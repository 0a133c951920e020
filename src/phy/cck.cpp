// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/cck.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

#include "runtime/shortest_text.h"

namespace dot11b::phy {

namespace {

constexpr double pi = std::numbers::pi;

// Bits of one PSDU split by their position inside each symbol: lane[p][i] is bit p of symbol i.
std::vector<Bits> splitIntoLanes(const Bits& bits, std::size_t bitsPerSymbol, const char* routine) {
  if (bits.size() % bitsPerSymbol != 0) {
    throw std::invalid_argument(std::string(routine) + ": " + std::to_string(bits.size()) +
                                " bits are not a whole number of " + std::to_string(bitsPerSymbol) +
                                "-bit symbols");
  }
  const std::size_t symbols = bits.size() / bitsPerSymbol;
  std::vector<Bits> lanes(bitsPerSymbol, Bits(symbols));
  for (std::size_t i = 0; i < symbols; ++i) {
    for (std::size_t p = 0; p < bitsPerSymbol; ++p) lanes[p][i] = bits[i * bitsPerSymbol + p];
  }
  return lanes;
}

// QPSK angle of a bit pair (first, second) as used by phi2..phi4 at 11 Mbit/s: 00 0, 01 pi/2, 10 pi, 11 3pi/2.
double pairAngle(uint8_t first, uint8_t second) { return pi * first + (pi / 2) * second; }

// Writes the codewords of all symbols one after another, 8 chips each.
ComplexRow codewords(const RealRow& phi1, const RealRow& phi2, const RealRow& phi3, const RealRow& phi4) {
  ComplexRow chips(8 * phi1.size());
  for (std::size_t i = 0; i < phi1.size(); ++i) {
    const auto word = cckCodeword(phi1[i], phi2[i], phi3[i], phi4[i]);
    std::copy(word.begin(), word.end(), chips.begin() + static_cast<std::ptrdiff_t>(8 * i));
  }
  return chips;
}

}  // namespace

ComplexRow cck(const Bits& bits, double dataRate, Complex initialPhase) {
  if (dataRate == 5.5) return cck5(bits, initialPhase);
  if (dataRate == 11) return cck11(bits, initialPhase);
  throw std::invalid_argument("Dot11b_CCK: data rate " + rt::shortestText(dataRate) +
                              " Mbit/s is not a CCK rate (5.5 or 11)");
}

ComplexRow cck11(const Bits& bits, Complex initialPhase) {
  const auto d = splitIntoLanes(bits, 8, "Dot11b_CCK11");
  const std::size_t symbols = d[0].size();
  // Only the angle of the reference is carried over (IEEE 802.11b-1999 18.4.6.5).
  const RealRow phi1 = cckDqpsk(d[0], d[1], std::arg(initialPhase));
  RealRow phi2(symbols), phi3(symbols), phi4(symbols);
  for (std::size_t i = 0; i < symbols; ++i) {
    phi2[i] = pairAngle(d[2][i], d[3][i]);
    phi3[i] = pairAngle(d[4][i], d[5][i]);
    phi4[i] = pairAngle(d[6][i], d[7][i]);
  }
  return codewords(phi1, phi2, phi3, phi4);
}

ComplexRow cck5(const Bits& bits, Complex initialPhase) {
  const auto d = splitIntoLanes(bits, 4, "Dot11b_CCK5");
  const std::size_t symbols = d[0].size();
  const RealRow phi1 = cckDqpsk(d[0], d[1], std::arg(initialPhase));
  RealRow phi2(symbols), phi3(symbols, 0.0), phi4(symbols);
  for (std::size_t i = 0; i < symbols; ++i) {
    phi2[i] = pi * d[2][i] + pi / 2;
    phi4[i] = pi * d[3][i];
  }
  return codewords(phi1, phi2, phi3, phi4);
}

RealRow cckDqpsk(const Bits& d0, const Bits& d1, double initialPhase) {
  if (d0.size() != d1.size()) {
    throw std::invalid_argument("Dot11b_CCK_DQPSK: d0 has " + std::to_string(d0.size()) + " bits but d1 has " +
                                std::to_string(d1.size()));
  }
  RealRow phi1(d0.size());
  double previous = initialPhase;
  for (std::size_t i = 0; i < d0.size(); ++i) {
    // Dibit phase change: 00 0, 01 +pi/2, 11 pi, 10 -pi/2.
    const double change = d0[i] ? (d1[i] ? pi : -pi / 2) : (d1[i] ? pi / 2 : 0.0);
    // Every odd-numbered symbol (counting from 0) gets an extra pi (IEEE 802.11b-1999 18.4.6.5.2).
    const double oddSymbolOffset = (i % 2 == 1) ? pi : 0.0;
    phi1[i] = previous + change + oddSymbolOffset;
    previous = phi1[i];
  }
  return phi1;
}

std::array<Complex, 8> cckCodeword(double phi1, double phi2, double phi3, double phi4) {
  const auto e = [](double angle) { return std::polar(1.0, angle); };
  return {e(phi1 + phi2 + phi3 + phi4), e(phi1 + phi3 + phi4), e(phi1 + phi2 + phi4), -e(phi1 + phi4),
          e(phi1 + phi2 + phi3),        e(phi1 + phi3),        -e(phi1 + phi2),       e(phi1)};
}

}  // namespace dot11b::phy
