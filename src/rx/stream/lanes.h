// SPDX-License-Identifier: GPL-3.0-or-later
// The numbers of a vector register (16 bytes: four floats or two doubles; 32 where AVX2 runs), for the
// loops over samples that the compiler does not vectorize on its own: sums kept lane by lane (which it may
// not reorder), and sliding weighted sums whose lengths it does not know, where it would keep nothing in
// registers from one weight to the next.
#pragma once

#include <array>
#include <complex>
#include <cstddef>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace dot11b::rx {

// Of floats, doubles, ints or longs: 16 bytes, or 32 in the loops that phy/simd/avx2_clone.h compiles for
// AVX2 only. Those loops take the registers of 32 bytes from functions always inlined into them, so that
// no call passes one (whose ABI would differ without AVX).
template <typename T, std::size_t Bytes = 16>
struct LanesOf {
  typedef T type __attribute__((vector_size(Bytes)));
};
template <typename T, std::size_t Bytes = 16>
using Lanes = typename LanesOf<T, Bytes>::type;
template <typename T, std::size_t Bytes = 16>
inline constexpr std::size_t kLanes = Bytes / sizeof(T);

// The lanes' numbers from x on, wherever they lie in memory.
template <std::size_t Bytes = 16, typename T>
[[gnu::always_inline]] inline Lanes<T, Bytes> lanesAt(const T* x) {
  Lanes<T, Bytes> lanes;
  std::memcpy(&lanes, x, sizeof lanes);
  return lanes;
}

// The two numbers of each pair of lanes swapped (a complex number's I and Q).
template <std::size_t Bytes>
[[gnu::always_inline]] inline Lanes<float, Bytes> pairsSwapped(Lanes<float, Bytes> x) {
  if constexpr (Bytes == 16) {
    return __builtin_shufflevector(x, x, 1, 0, 3, 2);
  } else {
    static_assert(Bytes == 32);
    return __builtin_shufflevector(x, x, 1, 0, 3, 2, 5, 4, 7, 6);
  }
}

// The two numbers of a register of doubles the other way round (a complex number's I and Q swapped).
inline Lanes<double> swapped(Lanes<double> x) { return Lanes<double>{x[1], x[0]}; }

// The lower and the upper half of a register of floats, each in a register of doubles of the same size.
template <std::size_t Bytes>
[[gnu::always_inline]] inline std::array<Lanes<double, Bytes>, 2> halvesInDoubles(Lanes<float, Bytes> x) {
  if constexpr (Bytes == 16) {
#if defined(__SSE2__)
    // Two conversions of pairs (GCC makes the generic one of the upper pair two scalar ones).
    return {_mm_cvtps_pd(x), _mm_cvtps_pd(_mm_movehl_ps(x, x))};
#else
    return {__builtin_convertvector(__builtin_shufflevector(x, x, 0, 1), Lanes<double, Bytes>),
            __builtin_convertvector(__builtin_shufflevector(x, x, 2, 3), Lanes<double, Bytes>)};
#endif
  } else {
    static_assert(Bytes == 32);
    return {__builtin_convertvector(__builtin_shufflevector(x, x, 0, 1, 2, 3), Lanes<double, Bytes>),
            __builtin_convertvector(__builtin_shufflevector(x, x, 4, 5, 6, 7), Lanes<double, Bytes>)};
  }
}

// In each lane a where a > b, else b (b when they are equal), as the SSE2 maximum gives it.
inline Lanes<double> larger(Lanes<double> a, Lanes<double> b) {
#if defined(__SSE2__)
  return __builtin_ia32_maxpd(a, b);
#else
  return a > b ? a : b;
#endif
}

inline Lanes<float> larger(Lanes<float> a, Lanes<float> b) {
#if defined(__SSE2__)
  return __builtin_ia32_maxps(a, b);
#else
  return a > b ? a : b;
#endif
}

// |x| of each lane: the sign bits cleared.
inline Lanes<double> magnitudes(Lanes<double> x) {
  constexpr long kAllButSign = 0x7FFFFFFFFFFFFFFF;
  return reinterpret_cast<Lanes<double>>(reinterpret_cast<Lanes<long>>(x) & Lanes<long>{kAllButSign, kAllButSign});
}
inline Lanes<float> magnitudes(Lanes<float> x) {
  constexpr int kAllButSign = 0x7FFFFFFF;
  return reinterpret_cast<Lanes<float>>(reinterpret_cast<Lanes<int>>(x) & Lanes<int>{kAllButSign, kAllButSign, kAllButSign, kAllButSign});
}

// n numbers from `from` to `to` (which do not overlap), a vector register at a time.
template <typename T>
void copyParts(const T* from, std::size_t n, T* to) {
  std::size_t i = 0;
  for (; i + kLanes<T> <= n; i += kLanes<T>) {
    const Lanes<T> lanes = lanesAt(from + i);
    std::memcpy(to + i, &lanes, sizeof lanes);
  }
  for (; i < n; ++i) to[i] = from[i];
}

// A sample's I and Q from x on, in double precision.
inline Lanes<double> doubleLanesAt(const double* x) { return lanesAt(x); }
inline Lanes<double> doubleLanesAt(const float* x) {
#if defined(__SSE2__)
  // One load of the pair and one conversion (GCC makes the generic conversion below two scalar ones).
  return _mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(x))));
#else
  typedef float Pair __attribute__((vector_size(8)));
  Pair pair;
  std::memcpy(&pair, x, sizeof pair);
  return __builtin_convertvector(pair, Lanes<double>);
#endif
}

// Whether every part of the n samples is finite, in one pass without a branch: x - x is 0 for a finite x
// and NaN for an infinite one or NaN, and so is a sum of them.
template <typename T>
bool allFinite(const std::complex<T>* samples, std::size_t n) {
  const T* x = reinterpret_cast<const T*>(samples);
  Lanes<T> probe{};
  std::size_t i = 0;
  for (; i + kLanes<T> <= 2 * n; i += kLanes<T>) {
    const Lanes<T> v = lanesAt(x + i);
    probe += v - v;
  }
  T sum = 0;
  for (; i < 2 * n; ++i) sum += x[i] - x[i];
  for (std::size_t j = 0; j < kLanes<T>; ++j) sum += probe[j];
  return sum == 0;
}

}  // namespace dot11b::rx
