// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/sdr_sample_files.h"

#include <limits>

#include "phy/peak_scaling.h"

namespace dot11b::files {

namespace {

double fullScale(SampleFormat format) {
  return format == SampleFormat::CS8 ? std::numeric_limits<std::int8_t>::max() : std::numeric_limits<std::int16_t>::max();
}

}  // namespace

EncodedSamples encodeSamples(std::span<const Complex> samples, const SampleEncoding& encoding) {
  EncodedSamples encoded;
  double gain = 1;
  if (encoding.format != SampleFormat::CF32) {
    const phy::PeakScaling scaling = phy::scalePeak(samples, fullScale(encoding.format), encoding.backoffDb);
    gain = scaling.gain;
    encoded.clippedSamples = scaling.clippedSamples;
  }
  encoded.bytes.resize(samples.size() * phy::sampleBytes(encoding.format));
  phy::encodeSamples(samples.data(), samples.size(), gain, encoding.format, encoded.bytes.data(),
                     phy::IntegerLimits::Symmetric);
  return encoded;
}

}  // namespace dot11b::files
