// SPDX-License-Identifier: GPL-3.0-or-later
#include "channel/mersenne_twister.h"

namespace dot11b::channel {

namespace {

constexpr std::size_t kShift = 156;  // the middle word of the recurrence
constexpr std::uint64_t kMatrix = 0xB5026F5AA96619E9ULL;
constexpr std::uint64_t kUpper = ~std::uint64_t{0} << 31, kLower = ~kUpper;

// Word k's successor from words k, k + 1 and k + 156 (indices modulo 312): the twist, with the matrix
// taken in by a mask rather than a branch on the low bit.
std::uint64_t twisted(std::uint64_t word, std::uint64_t nextWord, std::uint64_t middle) {
  const std::uint64_t y = (word & kUpper) | (nextWord & kLower);
  return middle ^ (y >> 1) ^ ((~(y & 1) + 1) & kMatrix);
}

}  // namespace

MersenneTwister64::MersenneTwister64(std::uint64_t seed) {
  state_[0] = seed;
  for (std::size_t i = 1; i < kWords; ++i) state_[i] = 6364136223846793005ULL * (state_[i - 1] ^ (state_[i - 1] >> 62)) + i;
}

void MersenneTwister64::renew() {
  std::size_t k = 0;
  for (; k < kWords - kShift; ++k) state_[k] = twisted(state_[k], state_[k + 1], state_[k + kShift]);
  for (; k < kWords - 1; ++k) state_[k] = twisted(state_[k], state_[k + 1], state_[k + kShift - kWords]);
  state_[kWords - 1] = twisted(state_[kWords - 1], state_[0], state_[kShift - 1]);
  for (std::size_t i = 0; i < kWords; ++i) {
    std::uint64_t z = state_[i];
    z ^= (z >> 29) & 0x5555555555555555ULL;
    z ^= (z << 17) & 0x71D67FFFEDA60000ULL;
    z ^= (z << 37) & 0xFFF7EEE000000000ULL;
    z ^= z >> 43;
    tempered_[i] = z;
  }
  next_ = 0;
}

}  // namespace dot11b::channel
