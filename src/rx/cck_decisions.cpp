// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/cck_decisions.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace dot11b::rx {

namespace {

constexpr double kPi = std::numbers::pi;

struct Candidate {
  Bits bits;
  ComplexRow codeword;
};

// The phase of a dibit for phi2 .. phi4 (18.4.6.5): 00 -> 0, 01 -> pi/2, 10 -> pi, 11 -> 3 pi/2.
double quadrant(int first, int second) { return kPi * first + kPi / 2 * second; }

std::vector<Candidate> candidates(bool fullRate) {
  std::vector<Candidate> all;
  if (fullRate) {
    for (int v = 0; v < 64; ++v) {
      Bits bits(6);
      for (int k = 0; k < 6; ++k) bits[static_cast<std::size_t>(k)] = static_cast<uint8_t>((v >> (5 - k)) & 1);
      all.push_back({bits, cckCodeword(quadrant(bits[0], bits[1]), quadrant(bits[2], bits[3]), quadrant(bits[4], bits[5]))});
    }
  } else {
    // 5.5 Mbit/s: phi2 = d2 pi + pi/2, phi3 = 0, phi4 = d3 pi.
    for (int v = 0; v < 4; ++v) {
      const uint8_t d2 = static_cast<uint8_t>(v >> 1), d3 = static_cast<uint8_t>(v & 1);
      all.push_back({{d2, d3}, cckCodeword(kPi * d2 + kPi / 2, 0, kPi * d3)});
    }
  }
  return all;
}

// z e^(-j q pi/2) for q = 0 .. 3: the conjugates of the quarter turns, swaps and signs.
std::array<Complex, 4> turnsBack(Complex z) {
  return {z, Complex(z.imag(), -z.real()), -z, Complex(-z.imag(), z.real())};
}

// The correlations of the chips with the 64 codewords of 11 Mbit/s, real and imaginary parts apart (so
// that the search for the largest runs over plain arrays), indexed as the candidates are (phi2's dibit,
// then phi3's, then phi4's). The codeword factors as
//   conj(c) . r = e^-j(phi4) (e^-j(phi3) (e^-j(phi2) r0 + r1) + (e^-j(phi2) r2 - r3))
//               +          (e^-j(phi3) (e^-j(phi2) r4 + r5) + (-e^-j(phi2) r6 + r7)),
// so three stages of four quarter turns take the place of 64 correlations of 8 chips.
struct FullRateCorrelations {
  std::array<double, 64> re, im;
};

void fullRateCorrelations(const ComplexRow& r, FullRateCorrelations& out) {
  const std::array<Complex, 4> r0 = turnsBack(r[0]), r2 = turnsBack(r[2]), r4 = turnsBack(r[4]), r6 = turnsBack(r[6]);
  for (std::size_t q2 = 0; q2 < 4; ++q2) {
    const std::array<Complex, 4> p = turnsBack(r0[q2] + r[1]), s = turnsBack(r4[q2] + r[5]);
    const Complex q = r2[q2] - r[3], u = r[7] - r6[q2];
    for (std::size_t q3 = 0; q3 < 4; ++q3) {
      const std::array<Complex, 4> withPhi4 = turnsBack(p[q3] + q);
      const Complex without = s[q3] + u;
      for (std::size_t q4 = 0; q4 < 4; ++q4) {
        const Complex c = withPhi4[q4] + without;
        out.re[q2 << 4 | q3 << 2 | q4] = c.real();
        out.im[q2 << 4 | q3 << 2 | q4] = c.imag();
      }
    }
  }
}

}  // namespace

ComplexRow cckCodeword(double phi2, double phi3, double phi4) {
  const auto e = [](double phase) { return std::polar(1.0, phase); };
  return {e(phi2 + phi3 + phi4), e(phi3 + phi4), e(phi2 + phi4), -e(phi4), e(phi2 + phi3), e(phi3), -e(phi2), Complex(1, 0)};
}

CckDecision decideCck(const ComplexRow& chips, bool fullRate) {
  static const std::vector<Candidate> full = candidates(true), half = candidates(false);
  const std::vector<Candidate>& set = fullRate ? full : half;
  std::size_t best = 0;
  Complex bestCorrelation(0, 0);
  const auto consider = [&](std::size_t c, Complex correlation) {
    if (std::norm(correlation) > std::norm(bestCorrelation)) {
      bestCorrelation = correlation;
      best = c;
    }
  };
  if (fullRate) {
    FullRateCorrelations correlations;
    fullRateCorrelations(chips, correlations);
    std::array<double, 64> energy;
    for (std::size_t c = 0; c < energy.size(); ++c)
      energy[c] = correlations.re[c] * correlations.re[c] + correlations.im[c] * correlations.im[c];
    // Four running maxima side by side, so that no comparison waits for the one before it.
    std::array<double, 4> lanes{};
    for (std::size_t c = 0; c < energy.size(); c += lanes.size())
      for (std::size_t l = 0; l < lanes.size(); ++l) lanes[l] = std::max(lanes[l], energy[c + l]);
    const double largest = *std::max_element(lanes.begin(), lanes.end());
    // The first of the largest, as the candidates are tried in order (the first when every energy is 0).
    best = static_cast<std::size_t>(std::find(energy.begin(), energy.end(), largest) - energy.begin()) % energy.size();
    bestCorrelation = {correlations.re[best], correlations.im[best]};
  } else {
    for (std::size_t c = 0; c < set.size(); ++c) {
      Complex sum(0, 0);
      for (std::size_t k = 0; k < 8; ++k) sum += chips[k] * std::conj(set[c].codeword[k]);
      consider(c, sum);
    }
  }
  return {set[best].bits, bestCorrelation, set[best].codeword};
}

}  // namespace dot11b::rx
