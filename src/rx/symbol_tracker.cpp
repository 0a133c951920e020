// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/symbol_tracker.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "rx/barker_share.h"

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
  Complex prompt(0, 0), early(0, 0), late(0, 0);
  double energy = 0;
  for (std::size_t k = 0; k < 11; ++k) {
    prompt += kBarker[k] * read.prompt(k);
    early += kBarker[k] * read.early(k);
    late += kBarker[k] * read.late(k);
    energy += std::norm(read.prompt(k));
  }
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
  Complex early(0, 0), late(0, 0);
  for (std::size_t k = 0; k < idealChips.size(); ++k) {
    early += std::conj(idealChips[k]) * read.early(k);
    late += std::conj(idealChips[k]) * read.late(k);
  }
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
  // taken only for the chips the peak looks at.
  const Complex scale = std::conj(reference) / std::norm(reference);
  for (std::size_t k = 0; k < received.size(); ++k) {
    const Complex error = received[k] * scale - ideal[k];
    const double power = error.real() * error.real() + error.imag() * error.imag();
    chipErrors_.sumOfSquares += power;
    if (chipErrors_.count++ < kPeakEvmChips) chipErrors_.peak = std::max(chipErrors_.peak, std::sqrt(power));
  }
}

}  // namespace dot11b::rx
