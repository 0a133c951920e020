// SPDX-License-Identifier: GPL-3.0-or-later
#include "channel/xoshiro.h"

#include <cstring>

namespace dot11b::channel {

namespace {

constexpr std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

constexpr std::uint64_t kGolden = 0x9E3779B97F4A7C15ULL;

std::uint64_t splitMix(std::uint64_t z) {
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

}  // namespace

Xoshiro256 Xoshiro256::seeded(std::uint64_t seed) {
  std::array<std::uint64_t, 4> s{};
  for (std::uint64_t& word : s) word = splitMix(seed += kGolden);
  return Xoshiro256(s);
}

std::uint64_t Xoshiro256::operator()() {
  const std::uint64_t result = rotl(s_[0] + s_[3], 23) + s_[0];
  const std::uint64_t t = s_[1] << 17;
  s_[2] ^= s_[0];
  s_[3] ^= s_[1];
  s_[1] ^= s_[2];
  s_[0] ^= s_[3];
  s_[2] ^= t;
  s_[3] = rotl(s_[3], 45);
  return result;
}

void Xoshiro256::jump() {
  constexpr std::array<std::uint64_t, 4> kJump = {0x180EC6D33CFD0ABAULL, 0xD5A61266F0C9392CULL, 0xA9582618E03FC9AAULL,
                                                  0x39ABDC4529B1661CULL};
  std::array<std::uint64_t, 4> sum{};
  for (const std::uint64_t word : kJump) {
    for (int b = 0; b < 64; ++b) {
      if (word & (std::uint64_t{1} << b)) {
        for (std::size_t k = 0; k < 4; ++k) sum[k] ^= s_[k];
      }
      (*this)();
    }
  }
  s_ = sum;
}

XoshiroLanes::XoshiroLanes(Xoshiro256 first) : after_(first) {
  for (std::size_t l = 0; l < kLanes; ++l) {
    for (std::size_t k = 0; k < 4; ++k) s_[k][l] = after_.state()[k];
    after_.jump();
  }
}

void XoshiroLanes::fill(std::uint64_t* words, std::size_t n) {
  // A state word of two lanes as one vector of 128 bits, a register of any x86-64 or ARM64 processor: every
  // step is a few vector operations, which the compiler does not find by itself in the loop over the lanes.
  using Pair = std::uint64_t __attribute__((vector_size(2 * sizeof(std::uint64_t))));
  struct Engines {
    Pair s0, s1, s2, s3;
  };
  static_assert(kLanes == 4);
  std::array<Engines, 2> e;  // lanes 0 and 1, lanes 2 and 3
  for (std::size_t half = 0; half < 2; ++half) {
    for (std::size_t k = 0; Pair* word : {&e[half].s0, &e[half].s1, &e[half].s2, &e[half].s3})
      std::memcpy(word, s_[k++].data() + 2 * half, sizeof(Pair));
  }
  const auto rotated = [](Pair x, int k) { return (x << k) | (x >> (64 - k)); };
  for (std::size_t first = 0; first < n; first += kLanes) {
    for (std::size_t half = 0; half < 2; ++half) {
      auto& [s0, s1, s2, s3] = e[half];
      const Pair result = rotated(s0 + s3, 23) + s0;
      std::memcpy(words + first + 2 * half, &result, sizeof result);
      const Pair t = s1 << 17;
      s2 ^= s0;
      s3 ^= s1;
      s1 ^= s2;
      s0 ^= s3;
      s2 ^= t;
      s3 = rotated(s3, 45);
    }
  }
  for (std::size_t half = 0; half < 2; ++half) {
    for (std::size_t k = 0; const Pair* word : {&e[half].s0, &e[half].s1, &e[half].s2, &e[half].s3})
      std::memcpy(s_[k++].data() + 2 * half, word, sizeof(Pair));
  }
}

}  // namespace dot11b::channel
