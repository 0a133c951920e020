// SPDX-License-Identifier: GPL-3.0-or-later
// The 64-bit Mersenne Twister: the numbers of std::mt19937_64 for the same seed, bit for bit (the C++
// standard fixes them), with its state renewed 312 words at a time in loops without branches. The
// standard library's renewal branches on a random bit of each word, and half of those branches are
// mispredicted: the noise of a long waveform spent a third of its time there.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace dot11b::channel {

class MersenneTwister64 {
 public:
  explicit MersenneTwister64(std::uint64_t seed);

  std::uint64_t operator()() {
    if (next_ == kWords) renew();
    return tempered_[next_++];
  }

 private:
  static constexpr std::size_t kWords = 312;
  // The next 312 words of state, and the numbers they give.
  void renew();

  std::array<std::uint64_t, kWords> state_;
  std::array<std::uint64_t, kWords> tempered_;
  std::size_t next_ = kWords;
};

}  // namespace dot11b::channel
