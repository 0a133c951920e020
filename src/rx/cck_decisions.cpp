// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/cck_decisions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "rx/stream/lanes.h"

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

// z e^(-j q pi/2): the conjugate of a quarter turn, a swap and signs.
Complex turnBack(Complex z, std::size_t q) {
  switch (q) {
    case 1: return {z.imag(), -z.real()};
    case 2: return -z;
    case 3: return {-z.imag(), z.real()};
    default: return z;
  }
}

// |x| of each lane.
Lanes<double> magnitudes(Lanes<double> x) {
  constexpr long kAllButSign = 0x7FFFFFFFFFFFFFFF;
  return reinterpret_cast<Lanes<double>>(reinterpret_cast<Lanes<long>>(x) & Lanes<long>{kAllButSign, kAllButSign});
}

// The correlation of the chips with the 64 codewords of 11 Mbit/s that is largest in magnitude (the first
// of the largest, as the candidates are indexed: phi2's dibit, then phi3's, then phi4's), and its index.
// The codeword factors as
//   conj(c) . r = e^-j(phi4) p + w,  p = e^-j(phi3) a + b,  w = e^-j(phi3) s + u,
//   a = e^-j(phi2) r0 + r1,  b = e^-j(phi2) r2 - r3,  s = e^-j(phi2) r4 + r5,  u = -e^-j(phi2) r6 + r7,
// so that stages of four quarter turns take the place of 64 correlations of 8 chips. The energy of
// e^-j(phi4) p + w is |p|^2 + |w|^2 + 2 Re(e^-j(phi4) conj(w) p), largest for the phi4 that turns
// conj(w) p nearest to the real axis: |p|^2 + |w|^2 + 2 max(|Re conj(w) p|, |Im conj(w) p|). For the four
// phi3 = q pi/2 of one phi2, with j^q written for e^(j phi3),
//   |p|^2 + |w|^2 = |a|^2 + |b|^2 + |s|^2 + |u|^2 + 2 Re((conj(b) a + conj(u) s) (-j)^q),
//   conj(w) p = conj(s) a + conj(u) b + conj(s) b j^q + conj(u) a (-j)^q,
// a handful of products for all four. Only the best (phi2, phi3) has its p, w and phi4 made.
std::size_t bestFullRate(const ComplexRow& r, Complex& best) {
  // Two phi2 at a time, one to a lane of a vector register (q2 = 0, 1, then 2, 3): the same products and
  // sums in the same order as one phi2 at a time, so the same energies to the last bit.
  using Pair = Lanes<double>;
  std::array<std::array<double, 4>, 4> energies;  // [q2][q3]
  for (std::size_t half = 0; half < 2; ++half) {
    // turnBack(z, q2) for the two q2 of this half: z, -j z, then -z, j z.
    const double sign = half == 0 ? 1.0 : -1.0;
    const auto turnedRe = [&](Complex z) { return Pair{sign * z.real(), sign * z.imag()}; };
    const auto turnedIm = [&](Complex z) { return Pair{sign * z.imag(), -sign * z.real()}; };
    const auto both = [](double v) { return Pair{v, v}; };
    const Pair aRe = turnedRe(r[0]) + both(r[1].real()), aIm = turnedIm(r[0]) + both(r[1].imag());
    const Pair bRe = turnedRe(r[2]) - both(r[3].real()), bIm = turnedIm(r[2]) - both(r[3].imag());
    const Pair sRe = turnedRe(r[4]) + both(r[5].real()), sIm = turnedIm(r[4]) + both(r[5].imag());
    const Pair uRe = both(r[7].real()) - turnedRe(r[6]), uIm = both(r[7].imag()) - turnedIm(r[6]);
    const Pair base =
        (aRe * aRe + aIm * aIm) + (bRe * bRe + bIm * bIm) + (sRe * sRe + sIm * sIm) + (uRe * uRe + uIm * uIm);
    // conj(x) y.
    const auto crossRe = [](Pair xRe, Pair xIm, Pair yRe, Pair yIm) { return xRe * yRe + xIm * yIm; };
    const auto crossIm = [](Pair xRe, Pair xIm, Pair yRe, Pair yIm) { return xRe * yIm - xIm * yRe; };
    const Pair mRe = crossRe(bRe, bIm, aRe, aIm) + crossRe(uRe, uIm, sRe, sIm);
    const Pair mIm = crossIm(bRe, bIm, aRe, aIm) + crossIm(uRe, uIm, sRe, sIm);
    const Pair eRe = crossRe(sRe, sIm, aRe, aIm) + crossRe(uRe, uIm, bRe, bIm);
    const Pair eIm = crossIm(sRe, sIm, aRe, aIm) + crossIm(uRe, uIm, bRe, bIm);
    const Pair fRe = crossRe(sRe, sIm, bRe, bIm), fIm = crossIm(sRe, sIm, bRe, bIm);
    const Pair gRe = crossRe(uRe, uIm, aRe, aIm), gIm = crossIm(uRe, uIm, aRe, aIm);
    const Pair hRe = fRe + gRe, hIm = fIm + gIm, kRe = fRe - gRe, kIm = fIm - gIm;
    // conj(w) p for q3 = 0 .. 3: e + h, e + j k, e - h, e - j k; Re(m (-j)^q3): m_r, m_i, -m_r, -m_i.
    const std::array<Pair, 4> zr = {eRe + hRe, eRe - kIm, eRe - hRe, eRe + kIm};
    const std::array<Pair, 4> zi = {eIm + hIm, eIm + kRe, eIm - hIm, eIm - kRe};
    const std::array<Pair, 4> turned = {mRe, mIm, -mRe, -mIm};
    for (std::size_t q3 = 0; q3 < 4; ++q3) {
      // std::max(|zr|, |zi|): the sign bits cleared, then the larger (|zr| when equal).
      const Pair absRe = magnitudes(zr[q3]), absIm = magnitudes(zi[q3]);
      const Pair energy = base + 2 * (turned[q3] + larger(absIm, absRe));
      energies[2 * half][q3] = energy[0];
      energies[2 * half + 1][q3] = energy[1];
    }
  }
  std::size_t at = 0;
  double largest = -1;
  for (std::size_t q2 = 0; q2 < 4; ++q2) {
    for (std::size_t q3 = 0; q3 < 4; ++q3) {
      if (energies[q2][q3] > largest) largest = energies[q2][q3], at = q2 << 2 | q3;
    }
  }
  const std::size_t q2 = at >> 2, q3 = at & 3;
  const Complex p = turnBack(turnBack(r[0], q2) + r[1], q3) + (turnBack(r[2], q2) - r[3]);
  const Complex w = turnBack(turnBack(r[4], q2) + r[5], q3) + (r[7] - turnBack(r[6], q2));
  const double zr = w.real() * p.real() + w.imag() * p.imag(), zi = w.real() * p.imag() - w.imag() * p.real();
  // Re(e^-j(q4 pi/2) conj(w) p) for q4 = 0 .. 3 is zr, zi, -zr, -zi: the first of the largest.
  std::size_t q4 = 0;
  double cross = zr;
  if (zi > cross) cross = zi, q4 = 1;
  if (-zr > cross) cross = -zr, q4 = 2;
  if (-zi > cross) q4 = 3;
  best = turnBack(p, q4) + w;
  return at << 2 | q4;
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
    best = bestFullRate(chips, bestCorrelation);
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
