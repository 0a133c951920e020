// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/pbcc_decoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <limits>

namespace dot11b::rx {

namespace {

constexpr std::array<uint8_t, 16> kCoverSeed = {0, 0, 1, 1, 0, 0, 1, 1, 1, 0, 0, 0, 1, 0, 1, 1};
constexpr int kStates = 64;
// Generator masks over (current bit, the six before it), the current bit in bit 6.
constexpr unsigned kG0 = 0133, kG1 = 0175;

}  // namespace

Bits pbccCover(std::size_t count) {
  Bits cover(count);
  for (std::size_t n = 0; n < count; ++n) {
    const std::size_t row = n / 16, start = (3 * row) % 16;
    cover[n] = kCoverSeed[(start + n % 16) % 16];
  }
  return cover;
}

Bits viterbiDecode(const std::vector<double>& soft) {
  const std::size_t steps = soft.size() / 2;
  // State: the six previous input bits, the latest in bit 5.
  std::array<double, kStates> metric;
  metric.fill(-std::numeric_limits<double>::infinity());
  metric[0] = 0;
  std::vector<std::array<uint8_t, kStates>> from(steps);  // the predecessor of each state at each step
  for (std::size_t t = 0; t < steps; ++t) {
    std::array<double, kStates> next;
    next.fill(-std::numeric_limits<double>::infinity());
    for (unsigned state = 0; state < kStates; ++state) {
      if (metric[state] == -std::numeric_limits<double>::infinity()) continue;
      for (unsigned bit = 0; bit < 2; ++bit) {
        const unsigned window = (bit << 6) | state;  // current bit, then the six before it
        const int c0 = std::popcount(window & kG0) & 1, c1 = std::popcount(window & kG1) & 1;
        const double branch = soft[2 * t] * (1 - 2 * c0) + soft[2 * t + 1] * (1 - 2 * c1);
        const unsigned target = window >> 1;
        if (metric[state] + branch > next[target]) {
          next[target] = metric[state] + branch;
          from[t][target] = static_cast<uint8_t>(state);
        }
      }
    }
    metric = next;
  }
  Bits bits(steps);
  unsigned state = static_cast<unsigned>(std::max_element(metric.begin(), metric.end()) - metric.begin());
  for (std::size_t t = steps; t-- > 0;) {
    bits[t] = static_cast<uint8_t>((state >> 5) & 1);  // the bit that entered at step t
    state = from[t][state];
  }
  return bits;
}

}  // namespace dot11b::rx
