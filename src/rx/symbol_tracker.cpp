// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/symbol_tracker.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "rx/barker_share.h"
#include "rx/stream/lanes.h"

namespace dot11b::rx {

namespace {

// Early and late instants lie half a chip (a sample) either side of the prompt instant.
constexpr int kHalfChip = kSamplesPerChip / 2;
static_assert(kSamplesPerChip == 2 * kHalfChip);
constexpr double kTimingGain = 0.3;     // share of the measured timing error corrected at once
constexpr double kDriftGain = 0.002;    // share of it taken into the drift estimate

// |z| without hypot's guard against overflow, which correlations of chips never near.
double magnitude(Complex z) { return std::sqrt(std::norm(z)); }

double timingError(double early, double late) {
  // For a triangular correlation peak, a chip wide either side, read half a chip early and late, the
  // normalised difference is the timing error in half chips.
  return early + late > 0 ? kHalfChip * (early - late) / (early + late) : 0.0;
}

}  // namespace

const SymbolTracker::HalfChips& SymbolTracker::halfChips(int chips) const {
  if (halfChips_.time != time_ || halfChips_.chips != chips) {
    if (chips < 1 || chips > 11) throw std::logic_error("a symbol of " + std::to_string(chips) + " chips");
    stream_.signal(time_ - kHalfChip, 2 * chips + 1, kHalfChip, halfChips_.values.data());
    halfChips_.time = time_;
    halfChips_.chips = chips;
  }
  return halfChips_;
}

Complex SymbolTracker::barkerSymbol() {
  const HalfChips& read = halfChips(11);
  // I and Q side by side in a vector register: the half chips lie as late, prompt, early, prompt, ...
  const auto* values = reinterpret_cast<const double*>(read.values.data());
  Lanes<double> promptSum{}, earlySum{}, lateSum{}, energies{};
  for (std::size_t k = 0; k < 11; ++k) {
    const Lanes<double> late = lanesAt(values + 4 * k), prompt = lanesAt(values + 4 * k + 2);
    const Lanes<double> early = lanesAt(values + 4 * k + 4);
    promptSum += kBarker[k] * prompt;
    earlySum += kBarker[k] * early;
    lateSum += kBarker[k] * late;
    energies += prompt * prompt;
  }
  const Complex prompt(promptSum[0], promptSum[1]), early(earlySum[0], earlySum[1]), late(lateSum[0], lateSum[1]);
  const double energy = energies[0] + energies[1];
  chipEnergy_ = energy;
  // Chips that do not line up with the symbol (the idle noise before a frame, a power-on ramp of Barker
  // chips at a phase of its own) tell nothing of the frame's timing: the loop holds its course over them.
  double error = 0;
  if (barkerShare(std::norm(prompt), energy) >= kAlignedShare) error = timingError(magnitude(early), magnitude(late));
  advance(11, error);
  return prompt;
}

void SymbolTracker::chips(int count, ComplexRow& out) const {
  const HalfChips& read = halfChips(count);
  out.resize(static_cast<std::size_t>(count));
  for (std::size_t k = 0; k < out.size(); ++k) out[k] = read.prompt(k);
}

void SymbolTracker::endSymbol(const ComplexRow& idealChips) {
  const HalfChips& read = halfChips(static_cast<int>(idealChips.size()));
  // conj(ideal) x chip with I and Q side by side: the chip times the ideal's real part plus the swapped chip
  // times (imag, -imag).
  const auto* values = reinterpret_cast<const double*>(read.values.data());
  Lanes<double> earlySum{}, lateSum{};
  for (std::size_t k = 0; k < idealChips.size(); ++k) {
    const Lanes<double> re = {idealChips[k].real(), idealChips[k].real()};
    const Lanes<double> im = {idealChips[k].imag(), -idealChips[k].imag()};
    const Lanes<double> late = lanesAt(values + 4 * k), early = lanesAt(values + 4 * k + 4);
    earlySum += re * early + im * swapped(early);
    lateSum += re * late + im * swapped(late);
  }
  const Complex early(earlySum[0], earlySum[1]), late(lateSum[0], lateSum[1]);
  advance(static_cast<int>(idealChips.size()), timingError(magnitude(early), magnitude(late)));
}

void SymbolTracker::advance(int chips, double error) {
  const double nominal = chips * kSamplesPerChip;
  drift_ += kDriftGain * error / nominal;
  time_ += nominal * (1 + drift_) + kTimingGain * error;
  nominal_ += nominal;
  sumX_ += nominal_;
  sumY_ += time_;
  sumXX_ += nominal_ * nominal_;
  sumXY_ += nominal_ * time_;
  ++count_;
}

double SymbolTracker::clockPpm() const {
  if (count_ < 2) return 0;
  const double n = static_cast<double>(count_);
  const double slope = (n * sumXY_ - sumX_ * sumY_) / (n * sumXX_ - sumX_ * sumX_);
  // A slower transmitter clock gives longer chips: more of our samples per chip.
  return -(slope - 1) * 1e6;
}

void SymbolTracker::recordChips(const ComplexRow& received, const ComplexRow& ideal, Complex reference) {
  if (reference == Complex(0, 0)) return;
  // One division for the symbol, and magnitudes without hypot's care for overflow, which chips never near,
  // taken only for the chips the peak looks at. A chip's I and Q side by side in a vector register: the
  // product with the scale is the chip times its real part plus the swapped chip times (-imag, imag).
  const Complex scale = std::conj(reference) / std::norm(reference);
  const Lanes<double> scaleRe = {scale.real(), scale.real()}, scaleIm = {-scale.imag(), scale.imag()};
  const auto* chips = reinterpret_cast<const double*>(received.data());
  const auto* ideals = reinterpret_cast<const double*>(ideal.data());
  // Summed in a copy, which the chips' memory cannot alias: it stays in registers.
  ChipErrors errors = chipErrors_;
  const std::size_t count = received.size();
  for (std::size_t k = 0; k < count; ++k) {
    const Lanes<double> chip = lanesAt(chips + 2 * k);
    const Lanes<double> turned = swapped(chip);
    const Lanes<double> error = chip * scaleRe + turned * scaleIm - lanesAt(ideals + 2 * k);
    const Lanes<double> squares = error * error;
    const double power = squares[0] + squares[1];
    errors.sumOfSquares += power;
    if (errors.count++ < kPeakEvmChips) errors.peak = std::max(errors.peak, std::sqrt(power));
  }
  chipErrors_ = errors;
}

}  // namespace dot11b::rx
