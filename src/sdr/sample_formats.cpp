#include "sdr/sample_formats.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace dot11b::sdr {

namespace {

// Rounded to the nearest integer (halves away from zero) and held within T's range; `clip` set when it had
// to be held. The rounding is written out so that the loop stays free of library calls.
template <typename T>
T quantise(double v, bool& clip) {
  constexpr double lo = std::numeric_limits<T>::min(), hi = std::numeric_limits<T>::max();
  if (!(v >= lo - 0.5 && v < hi + 0.5)) {
    clip = true;
    return static_cast<T>(v > 0 ? hi : lo);
  }
  return static_cast<T>(v >= 0 ? v + 0.5 : v - 0.5);
}

template <typename T>
void convert(const Complex* x, std::size_t n, double scale, T* out, std::size_t& clipped) {
  for (std::size_t k = 0; k < n; ++k) {
    if constexpr (std::is_floating_point_v<T>) {
      out[2 * k] = static_cast<T>(x[k].real() * scale);
      out[2 * k + 1] = static_cast<T>(x[k].imag() * scale);
    } else {
      bool clip = false;
      out[2 * k] = quantise<T>(x[k].real() * scale, clip);
      out[2 * k + 1] = quantise<T>(x[k].imag() * scale, clip);
      clipped += clip;
    }
  }
}

template <typename T>
void convertBack(const T* in, std::size_t n, double fullScale, Complex* out) {
  const double unit = 1 / fullScale;
  for (std::size_t k = 0; k < n; ++k) out[k] = {in[2 * k] * unit, in[2 * k + 1] * unit};
}

}  // namespace

std::string_view formatName(SampleFormat format) {
  switch (format) {
    case SampleFormat::CS8: return "CS8";
    case SampleFormat::CS16: return "CS16";
    case SampleFormat::CF32: return "CF32";
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
    case SampleFormat::CS8: values_ = std::vector<std::int8_t>(2 * samples); break;
    case SampleFormat::CS16: values_ = std::vector<std::int16_t>(2 * samples); break;
    case SampleFormat::CF32: values_ = std::vector<float>(2 * samples); break;
  }
}

SampleFormat NativeSamples::format() const { return static_cast<SampleFormat>(values_.index()); }

const void* NativeSamples::at(std::size_t k) const {
  return std::visit([k](const auto& v) -> const void* { return v.data() + 2 * k; }, values_);
}

void* NativeSamples::at(std::size_t k) {
  return std::visit([k](auto& v) -> void* { return v.data() + 2 * k; }, values_);
}

void toNative(const Complex* x, std::size_t n, double scale, NativeSamples& out, std::size_t first, std::size_t& clipped) {
  switch (out.format()) {
    case SampleFormat::CS8: convert(x, n, scale, static_cast<std::int8_t*>(out.at(first)), clipped); break;
    case SampleFormat::CS16: convert(x, n, scale, static_cast<std::int16_t*>(out.at(first)), clipped); break;
    case SampleFormat::CF32: convert(x, n, scale, static_cast<float*>(out.at(first)), clipped); break;
  }
}

NativeSamples toNative(const ComplexRow& x, SampleFormat format, double scale, std::size_t& clipped) {
  NativeSamples out(format, x.size());
  toNative(x.data(), x.size(), scale, out, 0, clipped);
  return out;
}

void fromNative(const void* in, SampleFormat format, std::size_t n, double fullScale, Complex* out) {
  switch (format) {
    case SampleFormat::CS8: convertBack(static_cast<const std::int8_t*>(in), n, fullScale, out); break;
    case SampleFormat::CS16: convertBack(static_cast<const std::int16_t*>(in), n, fullScale, out); break;
    case SampleFormat::CF32: convertBack(static_cast<const float*>(in), n, fullScale, out); break;
  }
}

double peakComponent(const ComplexRow& x) {
  double peak = 0;
  for (const Complex& s : x) peak = std::max({peak, std::abs(s.real()), std::abs(s.imag())});
  return peak;
}

}  // namespace dot11b::sdr
