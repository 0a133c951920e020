#include "rx/symbol_tracker.h"

#include <cmath>

namespace dot11b::rx {

namespace {

constexpr double kEarlyLate = 2;        // samples (half a chip) either side of the prompt instant
constexpr double kTimingGain = 0.3;     // share of the measured timing error corrected at once
constexpr double kDriftGain = 0.002;    // share of it taken into the drift estimate

}  // namespace

Complex SymbolTracker::barkerSymbol() {
  const Complex prompt = stream_.barker(time_);
  const double early = std::abs(stream_.barker(time_ + kEarlyLate));
  const double late = std::abs(stream_.barker(time_ - kEarlyLate));
  advance(11, early, late);
  return prompt;
}

ComplexRow SymbolTracker::chips(int count) const {
  ComplexRow received(static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k) received[static_cast<std::size_t>(k)] = stream_.chip(time_, k);
  return received;
}

Complex SymbolTracker::correlate(const ComplexRow& ideal, double offset) const {
  Complex sum(0, 0);
  for (std::size_t k = 0; k < ideal.size(); ++k) sum += std::conj(ideal[k]) * stream_.chip(time_ + offset, static_cast<int>(k));
  return sum;
}

void SymbolTracker::endSymbol(const ComplexRow& idealChips) {
  advance(static_cast<int>(idealChips.size()), std::abs(correlate(idealChips, kEarlyLate)), std::abs(correlate(idealChips, -kEarlyLate)));
}

void SymbolTracker::advance(int chips, double early, double late) {
  // For a triangular correlation peak the normalised difference is half the timing error in samples.
  const double error = early + late > 0 ? 2 * (early - late) / (early + late) : 0.0;
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
  for (std::size_t k = 0; k < received.size(); ++k) chipErrors_.push_back(std::abs(received[k] / reference - ideal[k]));
}

}  // namespace dot11b::rx
