// SPDX-License-Identifier: GPL-3.0-or-later
// The numbers of a vector register (16 bytes: four floats or two doubles), for the loops over samples that
// the compiler does not vectorize on its own: sums kept lane by lane (which it may not reorder), and
// sliding weighted sums whose lengths it does not know, where it would keep nothing in registers from one
// weight to the next.
#pragma once

#include <cstddef>
#include <cstring>

namespace dot11b::rx {

template <typename T>
struct LanesOf;
template <>
struct LanesOf<float> {
  typedef float type __attribute__((vector_size(16)));
};
template <>
struct LanesOf<double> {
  typedef double type __attribute__((vector_size(16)));
};
template <typename T>
using Lanes = typename LanesOf<T>::type;
template <typename T>
inline constexpr std::size_t kLanes = sizeof(Lanes<T>) / sizeof(T);

// The lanes' numbers from x on, wherever they lie in memory.
template <typename T>
Lanes<T> lanesAt(const T* x) {
  Lanes<T> lanes;
  std::memcpy(&lanes, x, sizeof lanes);
  return lanes;
}

}  // namespace dot11b::rx
