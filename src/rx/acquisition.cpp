#include "rx/acquisition.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace dot11b::rx {

namespace {

constexpr int kSymbolSamples = 11 * kSamplesPerChip;
// Symbols a detection looks at: enough that noise alone does not stand out, few enough to fit the
// 56 SYNC symbols of the short preamble twice over.
constexpr int kBlockSymbols = 16;
// Barker correlation energy over signal energy: 1 for clean chips, 1/11 for noise; 0 dB SNR in the chip
// bandwidth gives about 0.27.
constexpr double kDetection = 0.2;

}  // namespace

std::optional<Acquisition> acquire(const ChipStream& stream, std::size_t from) {
  const ComplexRow& x = stream.samples();
  const std::size_t block = kBlockSymbols * kSymbolSamples;
  // Barker correlation at every integer sample of the block and the 11 chips after it.
  std::vector<double> correlationEnergy(kSymbolSamples);
  for (std::size_t start = from; start + block + kSymbolSamples <= x.size(); start += block / 2) {
    double signalEnergy = 0;
    for (std::size_t n = start; n < start + block; ++n) signalEnergy += std::norm(x[n]);
    if (signalEnergy == 0) continue;
    std::fill(correlationEnergy.begin(), correlationEnergy.end(), 0.0);
    for (std::size_t n = 0; n < block; ++n) {
      correlationEnergy[n % kSymbolSamples] += std::norm(stream.barker(static_cast<double>(start + n)));
    }
    std::size_t best = 0;
    for (std::size_t p = 1; p < correlationEnergy.size(); ++p)
      if (correlationEnergy[p] > correlationEnergy[best]) best = p;
    if (correlationEnergy[best] < kDetection * signalEnergy * 11.0 / kSamplesPerChip) continue;

    // The peak between samples: a parabola through the best sample and its neighbours.
    const auto energyAt = [&](long p) {
      return correlationEnergy[static_cast<std::size_t>((p + kSymbolSamples) % kSymbolSamples)];
    };
    const double left = energyAt(static_cast<long>(best) - 1), centre = energyAt(static_cast<long>(best)),
                 right = energyAt(static_cast<long>(best) + 1);
    const double curvature = left - 2 * centre + right;
    const double offset = curvature < 0 ? 0.5 * (left - right) / curvature : 0.0;
    const double firstSymbol = static_cast<double>(start + best) + offset;

    // DBPSK steps between symbols are 0 or pi: squared, they leave twice the carrier's phase step.
    Complex squaredSteps(0, 0);
    Complex previous = stream.barker(firstSymbol);
    for (int m = 1; m < kBlockSymbols; ++m) {
      const Complex current = stream.barker(firstSymbol + m * kSymbolSamples);
      const Complex step = current * std::conj(previous);
      squaredSteps += step * step / (std::abs(step) + 1e-300);
      previous = current;
    }
    const double symbolTime = kSymbolSamples / kStreamRate;
    const double cfoHz = std::arg(squaredSteps) / 2 / (2 * std::numbers::pi * symbolTime);
    return Acquisition{firstSymbol, cfoHz};
  }
  return std::nullopt;
}

}  // namespace dot11b::rx
