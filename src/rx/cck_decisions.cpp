// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/cck_decisions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "phy/simd/avx2_clone.h"
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
DOT11B_ALSO_AVX2 std::size_t bestFullRate(const ComplexRow& r, Complex& best) {
  // The four phi2 side by side, one to a lane of a register of floats (q2 = 0 .. 3): turnBack(z, q2) is z,
  // -j z, -z, j z. Single precision rounds the energies some 1e-7 of their size: only candidates closer
  // than that, which noise alone makes, may come out the other way than in double precision.
  using Quad = Lanes<float>;
  // The chips in single precision, two to a register: I and Q of chip 2 j, then of chip 2 j + 1.
  std::array<float, 16> parts;
  const auto* values = reinterpret_cast<const double*>(r.data());
  for (std::size_t i = 0; i < parts.size(); ++i) parts[i] = static_cast<float>(values[i]);
  const auto pair = [&](std::size_t j) { return lanesAt(parts.data() + 4 * j); };
  // Of the first chip of a pair: its turns back, real and imaginary parts in the lanes of q2; of the second,
  // its real or imaginary part in every lane.
  const auto turnedRe = [](Quad v) { return __builtin_shufflevector(v, -v, 0, 1, 4, 5); };
  const auto turnedIm = [](Quad v) { return __builtin_shufflevector(v, -v, 1, 4, 5, 0); };
  const auto secondRe = [](Quad v) { return __builtin_shufflevector(v, v, 2, 2, 2, 2); };
  const auto secondIm = [](Quad v) { return __builtin_shufflevector(v, v, 3, 3, 3, 3); };
  const Quad r01 = pair(0), r23 = pair(1), r45 = pair(2), r67 = pair(3);
  const Quad aRe = turnedRe(r01) + secondRe(r01), aIm = turnedIm(r01) + secondIm(r01);
  const Quad bRe = turnedRe(r23) - secondRe(r23), bIm = turnedIm(r23) - secondIm(r23);
  const Quad sRe = turnedRe(r45) + secondRe(r45), sIm = turnedIm(r45) + secondIm(r45);
  const Quad uRe = secondRe(r67) - turnedRe(r67), uIm = secondIm(r67) - turnedIm(r67);
  const Quad base = (aRe * aRe + aIm * aIm) + (bRe * bRe + bIm * bIm) + (sRe * sRe + sIm * sIm) + (uRe * uRe + uIm * uIm);
  // conj(x) y.
  const auto crossRe = [](Quad xRe, Quad xIm, Quad yRe, Quad yIm) { return xRe * yRe + xIm * yIm; };
  const auto crossIm = [](Quad xRe, Quad xIm, Quad yRe, Quad yIm) { return xRe * yIm - xIm * yRe; };
  const Quad mRe = crossRe(bRe, bIm, aRe, aIm) + crossRe(uRe, uIm, sRe, sIm);
  const Quad mIm = crossIm(bRe, bIm, aRe, aIm) + crossIm(uRe, uIm, sRe, sIm);
  const Quad eRe = crossRe(sRe, sIm, aRe, aIm) + crossRe(uRe, uIm, bRe, bIm);
  const Quad eIm = crossIm(sRe, sIm, aRe, aIm) + crossIm(uRe, uIm, bRe, bIm);
  const Quad fRe = crossRe(sRe, sIm, bRe, bIm), fIm = crossIm(sRe, sIm, bRe, bIm);
  const Quad gRe = crossRe(uRe, uIm, aRe, aIm), gIm = crossIm(uRe, uIm, aRe, aIm);
  const Quad hRe = fRe + gRe, hIm = fIm + gIm, kRe = fRe - gRe, kIm = fIm - gIm;
  // conj(w) p for q3 = 0 .. 3: e + h, e + j k, e - h, e - j k; Re(m (-j)^q3): m_r, m_i, -m_r, -m_i.
  const std::array<Quad, 4> wpRe = {eRe + hRe, eRe - kIm, eRe - hRe, eRe + kIm};
  const std::array<Quad, 4> wpIm = {eIm + hIm, eIm + kRe, eIm - hIm, eIm - kRe};
  const std::array<Quad, 4> turned = {mRe, mIm, -mRe, -mIm};
  std::array<Quad, 4> energies;  // [q3], a lane for each q2
  for (std::size_t q3 = 0; q3 < 4; ++q3) {
    // std::max(|Re|, |Im|) of conj(w) p: the sign bits cleared, then the larger (|Re| when equal).
    energies[q3] = base + 2 * (turned[q3] + larger(magnitudes(wpIm[q3]), magnitudes(wpRe[q3])));
  }
  // The first of the largest in the candidates' order (q2, then q3): the largest of each q2's lane, the
  // first q2 that holds the largest of all, and its first q3 that does.
  const Quad ofEachQ2 = larger(larger(energies[0], energies[1]), larger(energies[2], energies[3]));
  const float largest = std::max(std::max(ofEachQ2[0], ofEachQ2[1]), std::max(ofEachQ2[2], ofEachQ2[3]));
  std::size_t q2 = 0, q3 = 0;
  while (q2 < 3 && ofEachQ2[q2] != largest) ++q2;
  while (q3 < 3 && energies[q3][q2] != largest) ++q3;
  const std::size_t at = q2 << 2 | q3;
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
