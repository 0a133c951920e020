// SPDX-License-Identifier: GPL-3.0-or-later
// The interleaved I/Q sample formats that radios stream and sample files hold, I first: signed 8-bit and
// 16-bit integers and 32-bit and 64-bit floats, little-endian, and the big-endian 16-bit words of the signal
// generator's file. A radio's integers come with its full scale (the value of a full-scale component: 128
// for a HackRF's CS8, 2048 for a 12-bit converter's CS16, 1 for CF32). This is the one conversion between
// the waveform's complex numbers and each format.
#pragma once

#include <complex>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include "phy/types.h"

namespace dot11b::phy {

enum class SampleFormat { CS8, CS16, CF32, CF64, CS16BE };

struct StreamFormat {
  SampleFormat format = SampleFormat::CF32;
  double fullScale = 1;
};

// "CS8", "CS16", "CF32" (SoapySDR's names), "CF64", "CS16BE".
std::string_view formatName(SampleFormat format);
// The formats a radio streams in, by SoapySDR's name: CS8, CS16 and CF32.
std::optional<SampleFormat> parseStreamFormat(std::string_view name);
// Bytes of one complex sample.
std::size_t sampleBytes(SampleFormat format);

// How an integer format holds a component beyond its range: at its ends (-128 and 127 for CS8, as a radio
// takes them), or symmetrically (-127 and 127, so that a full-scale waveform and its negation are alike).
enum class IntegerLimits { FormatEnds, Symmetric };

// n samples x times `scale` into `out` (n * sampleBytes(format) bytes, any alignment) in CS8, CS16 or CF32,
// rounded to the nearest integer (halves away from zero) for the integer formats, which take eight samples
// at a time. A component beyond the range is held at its limit; returns the number of samples so held.
std::size_t encodeSamples(const Complex* x, std::size_t n, double scale, SampleFormat format, void* out,
                          IntegerLimits limits = IntegerLimits::FormatEnds);

// n samples of any format from `in` (any alignment), each component over `fullScale` (full scale gives 1).
void decodeSamples(const void* in, SampleFormat format, std::size_t n, double fullScale, Complex* out);
// The same in single precision, as the receiver takes its samples (a CF64 file's values rounded once).
void decodeSamples(const void* in, SampleFormat format, std::size_t n, double fullScale, std::complex<float>* out);

// Samples in a radio's format (CS8, CS16 or CF32), I then Q.
class NativeSamples {
 public:
  // Throws std::invalid_argument for a format no radio streams in.
  explicit NativeSamples(SampleFormat format = SampleFormat::CF32, std::size_t samples = 0);
  SampleFormat format() const { return format_; }
  std::size_t size() const { return size_; }
  // The first byte of sample k.
  const void* at(std::size_t k) const;
  void* at(std::size_t k);

 private:
  std::variant<std::vector<std::int8_t>, std::vector<std::int16_t>, std::vector<float>> values_;
  SampleFormat format_;
  std::size_t size_ = 0;
};

// encodeSamples() into `out` from its sample `first`, the samples held at the format's ends added to
// `clipped`.
void toNative(const Complex* x, std::size_t n, double scale, NativeSamples& out, std::size_t first,
              std::size_t& clipped);
NativeSamples toNative(const ComplexRow& x, SampleFormat format, double scale, std::size_t& clipped);

}  // namespace dot11b::phy
