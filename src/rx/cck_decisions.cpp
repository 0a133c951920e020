#include "rx/cck_decisions.h"

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
  for (std::size_t c = 0; c < set.size(); ++c) {
    Complex sum(0, 0);
    for (std::size_t k = 0; k < 8; ++k) sum += chips[k] * std::conj(set[c].codeword[k]);
    if (std::norm(sum) > std::norm(bestCorrelation)) {
      bestCorrelation = sum;
      best = c;
    }
  }
  return {set[best].bits, bestCorrelation, set[best].codeword};
}

}  // namespace dot11b::rx
