// SPDX-License-Identifier: GPL-3.0-or-later
// The sample formats radios stream in: interleaved I and Q as signed 8-bit or 16-bit integers or 32-bit
// floats, each with the radio's full scale (the value of a full-scale component: 128 for a HackRF's CS8,
// 2048 for a 12-bit converter's CS16, 1 for CF32).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include "phy/types.h"

namespace dot11b::sdr {

enum class SampleFormat { CS8, CS16, CF32 };

struct StreamFormat {
  SampleFormat format = SampleFormat::CF32;
  double fullScale = 1;
};

// SoapySDR's names: "CS8", "CS16", "CF32".
std::string_view formatName(SampleFormat format);
std::optional<SampleFormat> parseFormat(std::string_view name);
// Bytes of one complex sample.
std::size_t sampleBytes(SampleFormat format);

// Samples in a radio's format, I then Q.
class NativeSamples {
 public:
  explicit NativeSamples(SampleFormat format = SampleFormat::CF32, std::size_t samples = 0);
  SampleFormat format() const;
  std::size_t size() const { return size_; }
  // The first byte of sample k.
  const void* at(std::size_t k) const;
  void* at(std::size_t k);

 private:
  std::variant<std::vector<std::int8_t>, std::vector<std::int16_t>, std::vector<float>> values_;
  std::size_t size_ = 0;
};

// x times `scale` in the format, rounded to the nearest integer for the integer formats; a component beyond
// the format's range is held at its end and counted in `clipped` (a sample once).
void toNative(const Complex* x, std::size_t n, double scale, NativeSamples& out, std::size_t first,
              std::size_t& clipped);
NativeSamples toNative(const ComplexRow& x, SampleFormat format, double scale, std::size_t& clipped);

// n samples of the format from `in` as complex numbers over `fullScale` (full scale gives 1).
void fromNative(const void* in, SampleFormat format, std::size_t n, double fullScale, Complex* out);

// The largest |I| or |Q| of the samples: what an integer format clips.
double peakComponent(const ComplexRow& x);

}  // namespace dot11b::sdr
