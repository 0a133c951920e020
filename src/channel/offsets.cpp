// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cmath>
#include <numbers>

#include "channel/stages.h"
#include "rx/stream/resample.h"

namespace dot11b::channel {

ComplexRow offsetClock(const ComplexRow& row, double sampleRate, double ppm) {
  ComplexRow out = rx::resample(row, sampleRate * (1 + ppm * 1e-6), sampleRate);
  out.resize(row.size());
  return out;
}

void rotate(ComplexRow& row, double cyclesPerSample, double phaseDeg) {
  // The phasor steps by multiplication and is set afresh at every block, which keeps its error at rounding
  // without a sine and cosine per sample.
  constexpr std::size_t kBlock = 1024;
  const double phase = phaseDeg * std::numbers::pi / 180;
  const Complex step = std::polar(1.0, 2 * std::numbers::pi * cyclesPerSample);
  for (std::size_t first = 0; first < row.size(); first += kBlock) {
    // Whole turns dropped, so that the angle keeps its precision far into a long row.
    const double turns = std::fmod(cyclesPerSample * static_cast<double>(first), 1.0);
    Complex phasor = std::polar(1.0, 2 * std::numbers::pi * turns + phase);
    const std::size_t end = std::min(row.size(), first + kBlock);
    for (std::size_t n = first; n < end; ++n) {
      row[n] = product(row[n], phasor);
      phasor = product(phasor, step);
    }
  }
}

}  // namespace dot11b::channel
