// SPDX-License-Identifier: GPL-3.0-or-later
#include "mac/pn_generator.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "phy/scrambler.h"
#include "runtime/shortest_text.h"

namespace dot11b::mac {

namespace {

constexpr int defaultOrder = 9;
constexpr int minOrder = 3;
constexpr int maxOrder = 31;
// The longest sequence asked for is one period of the longest register; more would be a repetition.
constexpr double maxLength = 2147483647.0;  // 2^31 - 1 bits

struct Polynomial {
  std::vector<int> taps;  // delays t: bit i is the exclusive OR of bits i - t
  bool inverted;          // the sequence is delivered inverted
};

// Feedback taps by register length, index order - minOrder; order 20 is chosen separately.
const std::vector<Polynomial>& polynomialTable() {
  static const std::vector<Polynomial> table = {
      {{3, 1}, false},        {{4, 1}, false},         {{5, 2}, false},        {{6, 1}, false},
      {{7, 1}, false},        {{8, 4, 3, 2}, false},   {{9, 5}, false},        {{10, 3}, false},
      {{11, 9}, false},       {{12, 6, 4, 1}, false},  {{13, 4, 3, 1}, false}, {{14, 12, 2, 1}, false},
      {{15, 14}, true},       {{16, 12, 3, 1}, false}, {{17, 3}, false},       {{18, 7}, false},
      {{19, 5, 2, 1}, false}, {{20, 3}, false},        {{21, 2}, false},       {{22, 1}, false},
      {{23, 18}, true},       {{24, 7, 2}, false},     {{25, 3}, false},       {{26, 6, 2, 1}, false},
      {{27, 5, 2, 1}, false}, {{28, 3}, false},        {{29, 27}, true},       {{30, 23, 2, 1}, false},
      {{31, 28}, true},
  };
  return table;
}

// A scalar option: given only as exactly one value; two or more values (or none) count as "not given".
std::optional<double> scalarOption(const std::optional<RealRow>& option) {
  if (!option || option->size() != 1) return std::nullopt;
  return option->front();
}

// Register length: 9 by default, clamped to 3..31; a value that matches no table row (not whole) is 9.
int registerOrder(const PnOptions& options) {
  const auto given = scalarOption(options.order);
  if (!given || std::isnan(*given)) return defaultOrder;
  const double clamped = std::clamp(*given, static_cast<double>(minOrder), static_cast<double>(maxOrder));
  return clamped == std::floor(clamped) ? static_cast<int>(clamped) : defaultOrder;
}

// Sequence length in bits: one period by default, at least 1. A fractional length keeps its whole part.
std::size_t sequenceLength(const PnOptions& options, int order) {
  const auto given = scalarOption(options.length);
  if (!given) return (std::size_t{1} << order) - 1;
  if (std::isnan(*given) || *given < 1) return 1;
  if (*given > maxLength) {
    throw std::invalid_argument("PNgenerator: length " + rt::shortestText(*given) +
                                " bits exceeds the longest period (" +
                                std::to_string(static_cast<long long>(maxLength)) + " bits)");
  }
  return static_cast<std::size_t>(std::floor(*given));
}

// First `order` output bits. Any nonzero seed element counts as a 1.
Bits registerSeed(const PnOptions& options, int order) {
  const auto n = static_cast<std::size_t>(order);
  const Bits ones(n, 1);
  if (!options.seed) return ones;
  const RealRow& seed = *options.seed;
  if (seed.size() == 1) {
    if (seed.front() == 0) return ones;
    Bits single(n, 0);
    single.back() = 1;
    return single;
  }
  if (seed.size() < n) return ones;
  Bits bits(n);
  for (std::size_t k = 0; k < n; ++k) bits[k] = seed[k] != 0 ? 1 : 0;
  // An all-zero register would lock up.
  if (std::all_of(bits.begin(), bits.end(), [](uint8_t b) { return b == 0; })) bits.back() = 1;
  return bits;
}

// Fibonacci tap mask for the shift-register routine: taps[k] weighs the bit order - k steps back.
Bits tapMask(const std::vector<int>& delays, int order) {
  Bits taps(static_cast<std::size_t>(order), 0);
  for (int t : delays) taps[static_cast<std::size_t>(order - t)] = 1;
  return taps;
}

// No run of more than 14 zeros remains: the 15th zero of a run is forced to 1.
void suppressZeroRuns(Bits& sequence) {
  constexpr std::size_t maxZeroRun = 14;
  std::size_t run = 0;
  for (auto& bit : sequence) {
    run = bit == 0 ? run + 1 : 0;
    if (run > maxZeroRun) {
      bit = 1;
      run = 0;
    }
  }
}

}  // namespace

Bits pnGenerator(const PnOptions& options) {
  const int order = registerOrder(options);
  const std::size_t length = sequenceLength(options, order);
  const bool userInvert = options.userInvert && *options.userInvert == 1;
  const bool zeroSuppression = options.zeroSuppression && *options.zeroSuppression == 1;

  Polynomial polynomial = polynomialTable()[static_cast<std::size_t>(order - minOrder)];
  if (order == 20 && zeroSuppression) polynomial.taps = {20, 17};

  Bits sequence = phy::lfsr(order, tapMask(polynomial.taps, order), length, registerSeed(options, order));
  if (order == 20 && zeroSuppression) suppressZeroRuns(sequence);
  if (polynomial.inverted != userInvert) {
    for (auto& bit : sequence) bit ^= 1;
  }
  // The register always delivers its seed, even when fewer bits were asked for.
  sequence.resize(std::min(sequence.size(), length));
  return sequence;
}

}  // namespace dot11b::mac
