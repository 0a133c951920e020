// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/acquisition.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "phy/simd/avx2_clone.h"
#include "rx/stream/lanes.h"

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

// The Barker correlation energy at each stream sample, kept while the search's blocks overlap, so that it
// is computed once a sample. Every block the search reads starts a whole number of half blocks after the
// search's first sample: the energies are kept half a block at a time, in a ring of the last few.
class BarkerEnergies {
 public:
  explicit BarkerEnergies(std::size_t origin) : origin_(origin) {}
  // The half block from stream sample `at` (origin + a whole number of half blocks), `x` pointing at that
  // sample with the half block and the ten chips after it in the stream.
  struct Half {
    std::size_t index = SIZE_MAX;            // of the half block it holds
    std::array<double, kBlock / 2> energies;  // the Barker correlation energy at each sample
    std::array<double, kBlock / 2> powers;    // each sample's |x|^2
  };
  const Half& half(std::size_t at, const Sample* x) {
    const std::size_t index = (at - origin_) / kHalf;
    Half& kept = halves_[index % halves_.size()];
    if (kept.index != index) {
      compute(x, kept);
      kept.index = index;
    }
    return kept;
  }

 private:
  static constexpr std::size_t kHalf = kBlock / 2;
  static_assert(kHalf % kSymbolSamples == 0 && kHalf % 2 == 0, "whole symbols, two samples to a register");

  // The correlations of two samples side by side in a register (I and Q of each, as they lie), summed over
  // the eleven chips in the order of one sample at a time; then each one's |sum|^2, and the samples' own.
  static void compute(const Sample* x, Half& half) {
    const float* parts = reinterpret_cast<const float*>(x);
    for (std::size_t n = 0; n < kHalf; n += 2) {
      Lanes<float> sum{};
      for (std::size_t k = 0; k < 11; ++k) {
        const Lanes<float> chip = lanesAt(parts + 2 * (n + kSamplesPerChip * k));
        sum = kBarker[k] > 0 ? sum + chip : sum - chip;
      }
      const Lanes<float> squares = sum * sum;
      half.energies[n] = squares[0] + squares[1];
      half.energies[n + 1] = squares[2] + squares[3];
    }
    for (std::size_t n = 0; n < kHalf; ++n) half.powers[n] = std::norm(x[n]);
  }

  std::size_t origin_;
  std::array<Half, 8> halves_;  // the blocks at start, next and measured, and those before
};

// The block's samples and the ten chips after it (the caller made sure that the stream reaches them).
DOT11B_ALSO_AVX2 BlockCorrelation correlateBlock(const ChipStream& stream, std::size_t start, BarkerEnergies& energies) {
  BlockCorrelation c;
  constexpr std::size_t kHalf = kBlock / 2;
  constexpr std::size_t kRead = kBlock + 10 * kSamplesPerChip;
  const Sample* x = stream.stretch(start, kRead);
  const BarkerEnergies::Half& first = energies.half(start, x);
  const BarkerEnergies::Half& second = energies.half(start + kHalf, x + kHalf);
  // Sample after sample, in double precision.
  double signal = 0;
#pragma GCC unroll 8
  for (const double power : first.powers) signal += power;
#pragma GCC unroll 8
  for (const double power : second.powers) signal += power;
  for (std::size_t n = kBlock; n < kRead; ++n) signal += std::norm(x[n]);
  c.signalEnergy = signal;
  if (signal == 0) return c;
  // Each phase's energies summed symbol after symbol, as the block runs.
  std::array<double, kSymbolSamples> energy{};
  for (const BarkerEnergies::Half* half : {&first, &second}) {
    for (std::size_t symbol = 0; symbol < kHalf / kSymbolSamples; ++symbol) {
      const double* e = half->energies.data() + symbol * kSymbolSamples;
#pragma GCC unroll 2
      for (std::size_t p = 0; p < kSymbolSamples; ++p) energy[p] += e[p];
    }
  }
  std::copy(energy.begin(), energy.end(), c.energy.begin());
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
  BarkerEnergies energies(from);
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
