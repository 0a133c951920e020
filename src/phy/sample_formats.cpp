// SPDX-License-Identifier: GPL-3.0-or-later
#include "sdr/sample_formats.h"

#include <algorithm>
#include <cmath>
#include <limits>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace dot11b::sdr {

namespace {

// A component rounded to the nearest integer (halves away from zero), before it is held within T's range.
// Truncating a value held within the (whole) ends is the same as holding the truncated value.
template <typename T>
double rounded(double v) {
  return v + std::copysign(0.5, v);
}

template <typename T>
T held(double r) {
  constexpr double lo = std::numeric_limits<T>::min(), hi = std::numeric_limits<T>::max();
  const double below = r < hi ? r : hi;
  return static_cast<T>(static_cast<int>(below > lo ? below : lo));
}

template <typename T>
bool beyond(double r) {
  constexpr double lo = std::numeric_limits<T>::min(), hi = std::numeric_limits<T>::max();
  return (r >= hi + 1) | (r <= lo - 1);
}

template <typename T>
void convert(const Complex* x, std::size_t n, double scale, T* out, std::size_t& clipped) {
  std::size_t clips = 0;  // a local count: a reference could alias the output
  for (std::size_t k = 0; k < n; ++k) {
    if constexpr (std::is_floating_point_v<T>) {
      out[2 * k] = static_cast<T>(x[k].real() * scale);
      out[2 * k + 1] = static_cast<T>(x[k].imag() * scale);
    } else {
      const double re = rounded<T>(x[k].real() * scale), im = rounded<T>(x[k].imag() * scale);
      out[2 * k] = held<T>(re);
      out[2 * k + 1] = held<T>(im);
      clips += beyond<T>(re) | beyond<T>(im);
    }
  }
  clipped += clips;
}

#if defined(__SSE2__)
// The integer formats eight samples at a time, as a radio streaming at 61.44 Msample/s needs: each sample
// (I and Q) rounded half away from zero and truncated to 32 bits, then packed into 16 and 8 bits with
// saturation, which holds them at the ends. The same numbers as convert().
template <typename T>
std::size_t convertEights(const Complex* x, std::size_t n, double scale, T* out, std::size_t& clipped) {
  constexpr double lo = std::numeric_limits<T>::min(), hi = std::numeric_limits<T>::max();
  const __m128d factor = _mm_set1_pd(scale), sign = _mm_set1_pd(-0.0), half = _mm_set1_pd(0.5);
  const __m128d above = _mm_set1_pd(hi + 1), below = _mm_set1_pd(lo - 1);
  const __m128d top = _mm_set1_pd(1e9), bottom = _mm_set1_pd(-1e9);  // within 32 bits
  std::size_t clips = 0, k = 0;
  for (; k + 8 <= n; k += 8) {
    __m128i words[4];
    for (int pair = 0; pair < 4; ++pair) {
      __m128i twice[2];
      for (int one = 0; one < 2; ++one) {
        const __m128d v = _mm_mul_pd(_mm_loadu_pd(reinterpret_cast<const double*>(x + k + 2 * pair + one)), factor);
        const __m128d r = _mm_add_pd(v, _mm_or_pd(_mm_and_pd(v, sign), half));
        clips += _mm_movemask_pd(_mm_or_pd(_mm_cmpge_pd(r, above), _mm_cmple_pd(r, below))) != 0;
        twice[one] = _mm_cvttpd_epi32(_mm_max_pd(_mm_min_pd(r, top), bottom));
      }
      words[pair] = _mm_unpacklo_epi64(twice[0], twice[1]);
    }
    const __m128i low = _mm_packs_epi32(words[0], words[1]), high = _mm_packs_epi32(words[2], words[3]);
    if constexpr (sizeof(T) == 1) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * k), _mm_packs_epi16(low, high));
    } else {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * k), low);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * k + 8), high);
    }
  }
  clipped += clips;
  return k;
}
#endif

// The whole row: the vector path where there is one, the plain loop for the rest.
template <typename T>
void convertAll(const Complex* x, std::size_t n, double scale, T* out, std::size_t& clipped) {
  std::size_t done = 0;
#if defined(__SSE2__)
  if constexpr (!std::is_floating_point_v<T>) done = convertEights(x, n, scale, out, clipped);
#endif
  convert(x + done, n - done, scale, out + 2 * done, clipped);
}

template <typename T>
void convertBack(const T* in, std::size_t n, double fullScale, Complex* out) {
  const double unit = 1 / fullScale;
  for (std::size_t k = 0; k < n; ++k) out[k] = {in[2 * k] * unit, in[2 * k + 1] * unit};
}

}  // namespace

std::string_view formatName(SampleFormat format) {
  switch (format) {
    case SampleFormat::CS8:
      return "CS8";
    case SampleFormat::CS16:
      return "CS16";
    case SampleFormat::CF32:
      return "CF32";
  }
  return "";
}

std::optional<SampleFormat> parseFormat(std::string_view name) {
  for (const SampleFormat f : {SampleFormat::CS8, SampleFormat::CS16, SampleFormat::CF32})
    if (name == formatName(f)) return f;
  return std::nullopt;
}

std::size_t sampleBytes(SampleFormat format) {
  return format == SampleFormat::CS8 ? 2 : format == SampleFormat::CS16 ? 4 : 8;
}

NativeSamples::NativeSamples(SampleFormat format, std::size_t samples) : size_(samples) {
  switch (format) {
    case SampleFormat::CS8:
      values_ = std::vector<std::int8_t>(2 * samples);
      break;
    case SampleFormat::CS16:
      values_ = std::vector<std::int16_t>(2 * samples);
      break;
    case SampleFormat::CF32:
      values_ = std::vector<float>(2 * samples);
      break;
  }
}

SampleFormat NativeSamples::format() const { return static_cast<SampleFormat>(values_.index()); }

const void* NativeSamples::at(std::size_t k) const {
  return std::visit([k](const auto& v) -> const void* { return v.data() + 2 * k; }, values_);
}

void* NativeSamples::at(std::size_t k) {
  return std::visit([k](auto& v) -> void* { return v.data() + 2 * k; }, values_);
}

void toNative(const Complex* x, std::size_t n, double scale, NativeSamples& out, std::size_t first,
              std::size_t& clipped) {
  switch (out.format()) {
    case SampleFormat::CS8:
      convertAll(x, n, scale, static_cast<std::int8_t*>(out.at(first)), clipped);
      break;
    case SampleFormat::CS16:
      convertAll(x, n, scale, static_cast<std::int16_t*>(out.at(first)), clipped);
      break;
    case SampleFormat::CF32:
      convertAll(x, n, scale, static_cast<float*>(out.at(first)), clipped);
      break;
  }
}

NativeSamples toNative(const ComplexRow& x, SampleFormat format, double scale, std::size_t& clipped) {
  NativeSamples out(format, x.size());
  toNative(x.data(), x.size(), scale, out, 0, clipped);
  return out;
}

void fromNative(const void* in, SampleFormat format, std::size_t n, double fullScale, Complex* out) {
  switch (format) {
    case SampleFormat::CS8:
      convertBack(static_cast<const std::int8_t*>(in), n, fullScale, out);
      break;
    case SampleFormat::CS16:
      convertBack(static_cast<const std::int16_t*>(in), n, fullScale, out);
      break;
    case SampleFormat::CF32:
      convertBack(static_cast<const float*>(in), n, fullScale, out);
      break;
  }
}

double peakComponent(const ComplexRow& x) {
  double peak = 0;
  for (const Complex& s : x) peak = std::max({peak, std::abs(s.real()), std::abs(s.imag())});
  return peak;
}

}  // namespace dot11b::sdr
