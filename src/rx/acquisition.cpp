// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/acquisition.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace dot11b::rx {

namespace {

constexpr int kSymbolSamples = 11 * kSamplesPerChip;
// Symbols a detection looks at: enough that noise alone does not stand out, few enough to fit the
// 56 SYNC symbols of the short preamble twice over.
constexpr int kBlockSymbols = 16;
constexpr std::size_t kBlock = kBlockSymbols * kSymbolSamples;
// Barker correlation energy over signal energy: about 1 for clean chips, 1/11 for noise; 0 dB SNR in the
// chip bandwidth gives about 0.27.
constexpr double kDetection = 0.2;

// The Barker correlation energy of a block, at each sample of a symbol.
struct BlockCorrelation {
  std::vector<double> energy = std::vector<double>(kSymbolSamples, 0.0);
  std::size_t best = 0;     // the phase of the largest
  double signalEnergy = 0;  // of every sample the correlations read: the block and the ten chips after it
};

// The Barker correlation energy at each stream sample, kept while the search's blocks overlap (each starts
// half a block after the last), so that it is computed once a sample: a ring of the last few blocks.
class BarkerEnergies {
 public:
  // Sample `at`'s energy, `x` pointing at that sample with the ten chips after it in the stream.
  double operator()(std::size_t at, const Sample* x) {
    const std::size_t slot = at % kKept;
    if (samples_[slot] != at) {
      Sample sum(0, 0);
      for (std::size_t k = 0; k < 11; ++k) sum += static_cast<float>(kBarker[k]) * x[kSamplesPerChip * k];
      values_[slot] = std::norm(sum);
      samples_[slot] = at;
    }
    return values_[slot];
  }

 private:
  static constexpr std::size_t kKept = 4 * kBlock;  // the blocks at start, next and measured, and a half
  std::vector<double> values_ = std::vector<double>(kKept);
  std::vector<std::size_t> samples_ = std::vector<std::size_t>(kKept, SIZE_MAX);  // whose energy each slot holds
};

// The block's samples and the ten chips after it (the caller made sure that the stream reaches them).
BlockCorrelation correlateBlock(const ChipStream& stream, std::size_t start, BarkerEnergies& energies) {
  BlockCorrelation c;
  constexpr std::size_t kRead = kBlock + 10 * kSamplesPerChip;
  const Sample* x = stream.stretch(start, kRead);
  for (std::size_t n = 0; n < kRead; ++n) c.signalEnergy += std::norm(x[n]);
  if (c.signalEnergy == 0) return c;
  for (std::size_t n = 0; n < kBlock; ++n) c.energy[n % kSymbolSamples] += energies(start + n, x + n);
  for (std::size_t p = 1; p < c.energy.size(); ++p)
    if (c.energy[p] > c.energy[c.best]) c.best = p;
  return c;
}

bool standsOut(const BlockCorrelation& c) {
  return c.signalEnergy > 0 && c.energy[c.best] >= kDetection * c.signalEnergy * 11.0 / kSamplesPerChip;
}

// The sample instant of the block's first symbol: the peak between samples, on a parabola through the
// best sample and its neighbours.
double peakInstant(const BlockCorrelation& c, std::size_t start) {
  const auto energyAt = [&](long p) {
    return c.energy[static_cast<std::size_t>((p + kSymbolSamples) % kSymbolSamples)];
  };
  const auto best = static_cast<long>(c.best);
  const double left = energyAt(best - 1), centre = energyAt(best), right = energyAt(best + 1);
  const double curvature = left - 2 * centre + right;
  const double offset = curvature < 0 ? 0.5 * (left - right) / curvature : 0.0;
  return static_cast<double>(start + c.best) + offset;
}

// The carrier offset over the block's symbols from `firstSymbol`: DBPSK steps between symbols are 0 or
// pi, squared they leave twice the carrier's phase step.
double carrierOffsetHz(const ChipStream& stream, double firstSymbol) {
  Complex squaredSteps(0, 0);
  Complex previous = stream.barker(firstSymbol);
  for (int m = 1; m < kBlockSymbols; ++m) {
    const Complex current = stream.barker(firstSymbol + m * kSymbolSamples);
    const Complex step = current * std::conj(previous);
    squaredSteps += step * step / (std::abs(step) + 1e-300);
    previous = current;
  }
  const double symbolTime = kSymbolSamples / kStreamRate;
  return std::arg(squaredSteps) / 2 / (2 * std::numbers::pi * symbolTime);
}

}  // namespace

std::optional<Acquisition> acquire(const ChipStream& stream, std::size_t from) {
  BarkerEnergies energies;
  for (std::size_t start = from; stream.reaches(static_cast<double>(start + kBlock + kSymbolSamples - 1)); start += kBlock / 2) {
    // Nothing before this block is read again (but for the interpolation's reach back).
    if (start > kInterpolationReach) stream.releaseBefore(start - kInterpolationReach);
    if (!standsOut(correlateBlock(stream, start, energies))) continue;
    // A block stands out for the last chips of a frame too, and now and then for idle noise: a frame has
    // begun when the next block stands out as well. Either of the two may hold the idle before the frame,
    // its first chips or its power-on ramp, whose Barker chips need not line up with the SYNC symbols: the
    // timing and the carrier come from the block after them, which lies in the preamble.
    const std::size_t next = start + kBlock, measured = next + kBlock;
    if (!stream.reaches(static_cast<double>(measured + kBlock + kSymbolSamples - 1))) break;
    if (!standsOut(correlateBlock(stream, next, energies))) continue;
    const double firstSymbol = peakInstant(correlateBlock(stream, measured, energies), measured);
    return Acquisition{firstSymbol, carrierOffsetHz(stream, firstSymbol)};
  }
  return std::nullopt;
}

}  // namespace dot11b::rx
