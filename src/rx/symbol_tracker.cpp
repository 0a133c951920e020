// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/symbol_tracker.h"

#include <cmath>

#include "rx/barker_share.h"

namespace dot11b::rx {

namespace {

constexpr double kEarlyLate = 2;        // samples (half a chip) either side of the prompt instant
constexpr double kTimingGain = 0.3;     // share of the measured timing error corrected at once
constexpr double kDriftGain = 0.002;    // share of it taken into the drift estimate

// |z| without hypot's guard against overflow, which correlations of chips never near.
double magnitude(Complex z) { return std::sqrt(std::norm(z)); }

double timingError(double early, double late) {
  // For a triangular correlation peak the normalised difference is half the timing error in samples.
  return early + late > 0 ? 2 * (early - late) / (early + late) : 0.0;
}

}  // namespace

Complex SymbolTracker::barkerSymbol() {
  const ComplexRow received = chips(11);
  Complex prompt(0, 0);
  double energy = 0;
  for (std::size_t k = 0; k < 11; ++k) {
    prompt += kBarker[k] * received[k];
    energy += std::norm(received[k]);
  }
  // Chips that do not line up with the symbol (the idle noise before a frame, a power-on ramp of Barker
  // chips at a phase of its own) tell nothing of the frame's timing: the loop holds its course over them.
  double error = 0;
  if (barkerShare(std::norm(prompt), energy) >= kAlignedShare) {
    error = timingError(magnitude(stream_.barker(time_ + kEarlyLate)), magnitude(stream_.barker(time_ - kEarlyLate)));
  }
  advance(11, error);
  return prompt;
}

ComplexRow SymbolTracker::chips(int count) const {
  ComplexRow received(static_cast<std::size_t>(count));
  stream_.chips(time_, count, received.data());
  return received;
}

Complex SymbolTracker::correlate(const ComplexRow& ideal, double offset) const {
  ComplexRow received(ideal.size());
  stream_.chips(time_ + offset, static_cast<int>(ideal.size()), received.data());
  Complex sum(0, 0);
  for (std::size_t k = 0; k < ideal.size(); ++k) sum += std::conj(ideal[k]) * received[k];
  return sum;
}

void SymbolTracker::endSymbol(const ComplexRow& idealChips) {
  advance(static_cast<int>(idealChips.size()),
          timingError(magnitude(correlate(idealChips, kEarlyLate)), magnitude(correlate(idealChips, -kEarlyLate))));
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
  if (std::abs(reference) == 0) return;
  // One division for the symbol, and magnitudes without hypot's care for overflow, which chips never near.
  const Complex scale = 1.0 / reference;
  for (std::size_t k = 0; k < received.size(); ++k) chipErrors_.push_back(std::sqrt(std::norm(received[k] * scale - ideal[k])));
}

}  // namespace dot11b::rx
