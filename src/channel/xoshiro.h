// SPDX-License-Identifier: GPL-3.0-or-later
// xoshiro256++ (Blackman and Vigna): 64-bit numbers from 256 bits of state with shifts, rotations, sums and
// exclusive ors alone, so that several engines stepped side by side vectorise.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace dot11b::channel {

class Xoshiro256 {
 public:
  // The state itself, not all zero.
  explicit Xoshiro256(const std::array<std::uint64_t, 4>& state) : s_(state) {}
  // The state of four SplitMix64 numbers from `seed`, as the engine's authors seed it.
  static Xoshiro256 seeded(std::uint64_t seed);

  std::uint64_t operator()();
  // 2^128 steps ahead: engines a jump apart give sequences that never overlap.
  void jump();
  const std::array<std::uint64_t, 4>& state() const { return s_; }

 private:
  std::array<std::uint64_t, 4> s_;
};

// Four engines, each a jump after the one before, stepped together: word 4k + l is engine l's k-th number.
class XoshiroLanes {
 public:
  static constexpr std::size_t kLanes = 4;
  explicit XoshiroLanes(Xoshiro256 first);
  // n words, n a multiple of kLanes.
  void fill(std::uint64_t* words, std::size_t n);
  // The engine a jump after the last lane's.
  Xoshiro256 next() const { return after_; }

 private:
  // One row per state word, one column per lane, so that a step of all lanes is one vector operation.
  std::array<std::array<std::uint64_t, kLanes>, 4> s_;
  Xoshiro256 after_;
};

}  // namespace dot11b::channel
