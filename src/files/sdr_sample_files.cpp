// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/sdr_sample_files.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "phy/peak_scaling.h"

namespace dot11b::files {

namespace {

template <typename Word>
void appendLittleEndian(std::string& out, Word word) {
  for (std::size_t k = 0; k < sizeof word; ++k) out.push_back(static_cast<char>((word >> (8 * k)) & 0xFF));
}

template <typename Integer>
EncodedSamples encodeIntegers(std::span<const Complex> samples, double fullScale, double backoffDb) {
  using Word = std::make_unsigned_t<Integer>;
  const phy::PeakScaling scaling = phy::scalePeak(samples, fullScale, backoffDb);
  EncodedSamples encoded{{}, scaling.clippedSamples};
  encoded.bytes.reserve(2 * sizeof(Integer) * samples.size());
  for (const Complex& s : samples) {
    for (const double part : {s.real(), s.imag()}) {
      const auto value = static_cast<Integer>(std::lround(phy::scaledValue(part, scaling.gain, fullScale)));
      appendLittleEndian(encoded.bytes, static_cast<Word>(value));
    }
  }
  return encoded;
}

EncodedSamples encodeFloats(std::span<const Complex> samples) {
  EncodedSamples encoded;
  encoded.bytes.reserve(8 * samples.size());
  for (const Complex& s : samples) {
    for (const double part : {s.real(), s.imag()}) appendLittleEndian(encoded.bytes, std::bit_cast<std::uint32_t>(static_cast<float>(part)));
  }
  return encoded;
}

}  // namespace

EncodedSamples encodeSamples(std::span<const Complex> samples, const SampleEncoding& encoding) {
  switch (encoding.format) {
    case SampleFormat::Cs8: return encodeIntegers<std::int8_t>(samples, kCs8FullScale, encoding.backoffDb);
    case SampleFormat::Cs16: return encodeIntegers<std::int16_t>(samples, kCs16FullScale, encoding.backoffDb);
    case SampleFormat::Cf32: return encodeFloats(samples);
  }
  return {};
}

}  // namespace dot11b::files
