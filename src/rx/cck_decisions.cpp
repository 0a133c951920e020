// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/cck_decisions.h"

#include <algorithm>
#include <array>
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

// z e^(-j q pi/2): the conjugate of a quarter turn, a swap and signs.
Complex turnBack(Complex z, std::size_t q) {
  switch (q) {
    case 1: return {z.imag(), -z.real()};
    case 2: return -z;
    case 3: return {-z.imag(), z.real()};
    default: return z;
  }
}

// conj(x) y.
Complex conjTimes(Complex x, Complex y) {
  return {x.real() * y.real() + x.imag() * y.imag(), x.real() * y.imag() - x.imag() * y.real()};
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
  std::size_t at = 0;
  double largest = -1;
  for (std::size_t q2 = 0; q2 < 4; ++q2) {
    const Complex a = turnBack(r[0], q2) + r[1], b = turnBack(r[2], q2) - r[3];
    const Complex s = turnBack(r[4], q2) + r[5], u = r[7] - turnBack(r[6], q2);
    const double base = std::norm(a) + std::norm(b) + std::norm(s) + std::norm(u);
    const Complex m = conjTimes(b, a) + conjTimes(u, s), e = conjTimes(s, a) + conjTimes(u, b);
    const Complex f = conjTimes(s, b), g = conjTimes(u, a), h = f + g, k = f - g;
    // conj(w) p for q = 0 .. 3: e + h, e + j k, e - h, e - j k; Re(m (-j)^q): m_r, m_i, -m_r, -m_i.
    const std::array<double, 4> zr = {e.real() + h.real(), e.real() - k.imag(), e.real() - h.real(),
                                      e.real() + k.imag()};
    const std::array<double, 4> zi = {e.imag() + h.imag(), e.imag() + k.real(), e.imag() - h.imag(),
                                      e.imag() - k.real()};
    const std::array<double, 4> turned = {m.real(), m.imag(), -m.real(), -m.imag()};
    for (std::size_t q3 = 0; q3 < 4; ++q3) {
      const double energy = base + 2 * (turned[q3] + std::max(std::abs(zr[q3]), std::abs(zi[q3])));
      if (energy > largest) largest = energy, at = q2 << 2 | q3;
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
