// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>

#include "channel/stages.h"

namespace dot11b::channel {

namespace {

constexpr double kChipBandwidth = 11e6;  // [Hz]

}  // namespace

double meanFramePower(const ComplexRow& row, const Bits& frameMask) {
  double frame = 0, all = 0;
  std::size_t frameSamples = 0;
  if (frameMask.empty()) {
    for (const Complex& x : row) all += std::norm(x);
  } else {
    // Weighted by the mask rather than branched on it, so that the loop vectorizes.
    for (std::size_t n = 0; n < row.size(); ++n) {
      const double power = std::norm(row[n]);
      all += power;
      frame += frameMask[n] ? power : 0.0;
      frameSamples += frameMask[n] != 0;
    }
  }
  if (frameSamples == 0) return row.empty() ? 0 : all / static_cast<double>(row.size());
  return frame / static_cast<double>(frameSamples);
}

NoiseStream::NoiseStream(double framePower, double sampleRate, double snrDb, std::uint64_t seed)
    // Of the noise spread over the whole sample rate, the chip bandwidth holds the share 11 MHz / sampleRate.
    : variance_(framePower * sampleRate / (kChipBandwidth * std::pow(10, snrDb / 10))), draws_(seed, Stream::Noise) {}

void addNoise(ComplexRow& row, double sampleRate, const Bits& frameMask, double snrDb, std::uint64_t seed) {
  NoiseStream(meanFramePower(row, frameMask), sampleRate, snrDb, seed).addTo(row.data(), row.data(), row.size());
}

}  // namespace dot11b::channel
