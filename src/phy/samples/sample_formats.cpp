// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/samples/sample_formats.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "phy/simd/avx2_clone.h"

namespace dot11b::phy {

// The little-endian formats are the machine's own order on the machines this runs on.
static_assert(std::endian::native == std::endian::little);

namespace {

template <typename T>
struct Range {
  double lo, hi;
};

template <typename T>
Range<T> rangeOf(IntegerLimits limits) {
  constexpr double hi = std::numeric_limits<T>::max();
  return {limits == IntegerLimits::Symmetric ? -hi : std::numeric_limits<T>::min(), hi};
}

// A component rounded to the nearest integer (halves away from zero), before it is held within the range.
// Truncating a value held within the (whole) ends is the same as holding the truncated value.
double rounded(double v) { return v + std::copysign(0.5, v); }

template <typename T>
T held(double r, Range<T> range) {
  const double below = r < range.hi ? r : range.hi;
  return static_cast<T>(static_cast<int>(below > range.lo ? below : range.lo));
}

template <typename T>
bool beyond(double r, Range<T> range) {
  return (r >= range.hi + 1) | (r <= range.lo - 1);
}

template <typename T>
void store(T value, unsigned char* at) {
  std::memcpy(at, &value, sizeof value);
}

template <typename T>
std::size_t convert(const Complex* x, std::size_t n, double scale, unsigned char* out, IntegerLimits limits) {
  std::size_t clips = 0;
  for (std::size_t k = 0; k < n; ++k, out += 2 * sizeof(T)) {
    if constexpr (std::is_floating_point_v<T>) {
      store(static_cast<T>(x[k].real() * scale), out);
      store(static_cast<T>(x[k].imag() * scale), out + sizeof(T));
    } else {
      const Range<T> range = rangeOf<T>(limits);
      const double re = rounded(x[k].real() * scale), im = rounded(x[k].imag() * scale);
      store(held<T>(re, range), out);
      store(held<T>(im, range), out + sizeof(T));
      clips += beyond<T>(re, range) | beyond<T>(im, range);
    }
  }
  return clips;
}

#if defined(__SSE2__)
// The integer formats eight samples at a time, as a radio streaming at 61.44 Msample/s needs: each sample
// (I and Q) rounded half away from zero and truncated to 32 bits, then packed into 16 and 8 bits with
// saturation, which holds them at the format's ends (and at the symmetric limit where asked). The same
// numbers as convert().
template <typename T>
std::size_t convertEights(const Complex* x, std::size_t n, double scale, unsigned char* out, IntegerLimits limits,
                          std::size_t& clipped) {
  const Range<T> range = rangeOf<T>(limits);
  const __m128d factor = _mm_set1_pd(scale), sign = _mm_set1_pd(-0.0), half = _mm_set1_pd(0.5);
  const __m128d above = _mm_set1_pd(range.hi + 1), below = _mm_set1_pd(range.lo - 1);
  const __m128d top = _mm_set1_pd(1e9), bottom = _mm_set1_pd(-1e9);  // within 32 bits
  const bool symmetric = limits == IntegerLimits::Symmetric;
  const __m128i lowest = _mm_set1_epi16(static_cast<std::int16_t>(range.lo));
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
    __m128i low = _mm_packs_epi32(words[0], words[1]), high = _mm_packs_epi32(words[2], words[3]);
    if (symmetric) {
      low = _mm_max_epi16(low, lowest);
      high = _mm_max_epi16(high, lowest);
    }
    if constexpr (sizeof(T) == 1) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * k), _mm_packs_epi16(low, high));
    } else {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * k), low);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * k + 16), high);
    }
  }
  clipped += clips;
  return k;
}
#endif

// The whole row: the vector path where there is one, the plain loop for the rest.
template <typename T>
std::size_t convertAll(const Complex* x, std::size_t n, double scale, unsigned char* out, IntegerLimits limits) {
  std::size_t clipped = 0, done = 0;
#if defined(__SSE2__)
  if constexpr (!std::is_floating_point_v<T>) done = convertEights<T>(x, n, scale, out, limits, clipped);
#endif
  return clipped + convert<T>(x + done, n - done, scale, out + 2 * sizeof(T) * done, limits);
}

template <typename T>
T load(const unsigned char* at) {
  T value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

// Components of type T into complex numbers of `Real`, in the arithmetic of `Real`: the receiver's single
// precision takes a CF32 file's values as they are and scales the integers with one product each.
template <typename T, typename Real>
void convertBack(const unsigned char* in, std::size_t n, double fullScale, std::complex<Real>* out) {
  const auto unit = static_cast<Real>(1 / fullScale);
  for (std::size_t k = 0; k < n; ++k, in += 2 * sizeof(T))
    out[k] = {static_cast<Real>(load<T>(in)) * unit, static_cast<Real>(load<T>(in + sizeof(T))) * unit};
}

std::int16_t bigEndianWord(const unsigned char* at) { return static_cast<std::int16_t>(at[0] << 8 | at[1]); }

template <typename Real>
DOT11B_ALSO_AVX2 void decodeInto(const void* in, SampleFormat format, std::size_t n, double fullScale, std::complex<Real>* out) {
  const auto* bytes = static_cast<const unsigned char*>(in);
  switch (format) {
    case SampleFormat::CS8:
      return convertBack<std::int8_t>(bytes, n, fullScale, out);
    case SampleFormat::CS16:
      return convertBack<std::int16_t>(bytes, n, fullScale, out);
    case SampleFormat::CF32:
      return convertBack<float>(bytes, n, fullScale, out);
    case SampleFormat::CF64:
      return convertBack<double>(bytes, n, fullScale, out);
    case SampleFormat::CS16BE: {
      const auto unit = static_cast<Real>(1 / fullScale);
      for (std::size_t k = 0; k < n; ++k, bytes += 4)
        out[k] = {static_cast<Real>(bigEndianWord(bytes)) * unit, static_cast<Real>(bigEndianWord(bytes + 2)) * unit};
      return;
    }
  }
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
    case SampleFormat::CF64:
      return "CF64";
    case SampleFormat::CS16BE:
      return "CS16BE";
  }
  return "";
}

std::optional<SampleFormat> parseStreamFormat(std::string_view name) {
  for (const SampleFormat f : {SampleFormat::CS8, SampleFormat::CS16, SampleFormat::CF32})
    if (name == formatName(f)) return f;
  return std::nullopt;
}

std::size_t sampleBytes(SampleFormat format) {
  switch (format) {
    case SampleFormat::CS8:
      return 2;
    case SampleFormat::CS16:
    case SampleFormat::CS16BE:
      return 4;
    case SampleFormat::CF32:
      return 8;
    case SampleFormat::CF64:
      return 16;
  }
  return 1;
}

std::size_t encodeSamples(const Complex* x, std::size_t n, double scale, SampleFormat format, void* out,
                          IntegerLimits limits) {
  auto* bytes = static_cast<unsigned char*>(out);
  switch (format) {
    case SampleFormat::CS8:
      return convertAll<std::int8_t>(x, n, scale, bytes, limits);
    case SampleFormat::CS16:
      return convertAll<std::int16_t>(x, n, scale, bytes, limits);
    case SampleFormat::CF32:
      return convertAll<float>(x, n, scale, bytes, limits);
    case SampleFormat::CF64:
    case SampleFormat::CS16BE:
      break;
  }
  throw std::invalid_argument("samples are not written as " + std::string(formatName(format)));
}

void decodeSamples(const void* in, SampleFormat format, std::size_t n, double fullScale, Complex* out) {
  decodeInto(in, format, n, fullScale, out);
}

void decodeSamples(const void* in, SampleFormat format, std::size_t n, double fullScale, std::complex<float>* out) {
  decodeInto(in, format, n, fullScale, out);
}

NativeSamples::NativeSamples(SampleFormat format, std::size_t samples) : format_(format), size_(samples) {
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
    case SampleFormat::CF64:
    case SampleFormat::CS16BE:
      throw std::invalid_argument("radios do not stream " + std::string(formatName(format)));
  }
}

const void* NativeSamples::at(std::size_t k) const {
  return std::visit([k](const auto& v) -> const void* { return v.data() + 2 * k; }, values_);
}

void* NativeSamples::at(std::size_t k) {
  return std::visit([k](auto& v) -> void* { return v.data() + 2 * k; }, values_);
}

void toNative(const Complex* x, std::size_t n, double scale, NativeSamples& out, std::size_t first,
              std::size_t& clipped) {
  clipped += encodeSamples(x, n, scale, out.format(), out.at(first));
}

NativeSamples toNative(const ComplexRow& x, SampleFormat format, double scale, std::size_t& clipped) {
  NativeSamples out(format, x.size());
  toNative(x.data(), x.size(), scale, out, 0, clipped);
  return out;
}

}  // namespace dot11b::phy
