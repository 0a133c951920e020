// SPDX-License-Identifier: GPL-3.0-or-later
// The chip timing of a frame, symbol by symbol: an early-late loop on the correlation of each symbol
// with what it carries (the Barker sequence, or the CCK codeword decided for it), with a second-order
// term that follows a chip clock running off ours. It also measures the error vector of every chip against
// the ideal chip at the ideal instant, for the modulation accuracy.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <limits>
#include <vector>

#include "rx/chip_stream.h"

namespace dot11b::rx {

class SymbolTracker {
 public:
  SymbolTracker(const ChipStream& stream, double firstSymbol) : stream_(stream), time_(firstSymbol) {}

  // The Barker correlation of the symbol at the current timing; moves on by 11 chips. A symbol whose chips
  // do not line up with it (see barkerShare) leaves the timing to the drift estimate.
  Complex barkerSymbol();
  // The energy of the last Barker symbol's chips: the sum of their squared magnitudes.
  double chipEnergy() const { return chipEnergy_; }
  // The next `count` chips at the current timing, into `out` (whose storage is kept from one symbol to the
  // next).
  void chips(int count, ComplexRow& out) const;
  // Moves on by the chips just read once they are known to carry `idealChips` (a CCK codeword, or PBCC
  // symbols as decided).
  void endSymbol(const ComplexRow& idealChips);

  // Records the error vector magnitudes of received chips against their ideal chips, the received chips
  // divided by `reference` (how a chip +1 is received: gain and phase) first.
  void recordChips(const ComplexRow& received, const ComplexRow& ideal, Complex reference);

  double time() const { return time_; }
  // Whether the stream holds the next `chips` chips and the early-late instants around them.
  bool holds(int chips) const { return stream_.reaches(time_ + (chips + 1) * kSamplesPerChip + kInterpolationReach); }
  // The transmitter's chip clock against ours [ppm]: from the slope of the symbol instants the loop found
  // against their nominal instants, over every symbol so far.
  double clockPpm() const;
  // The error vector magnitudes of the chips recorded since clearChipErrors(): how many, the sum of their
  // squares, and the largest among the first kPeakEvmChips.
  struct ChipErrors {
    std::size_t count = 0;
    double sumOfSquares = 0;
    double peak = 0;
  };
  static constexpr std::size_t kPeakEvmChips = 1000;
  const ChipErrors& chipErrors() const { return chipErrors_; }
  void clearChipErrors() { chipErrors_ = {}; }

 private:
  // The signal every half chip from half a chip before the symbol at the current timing: its late, prompt
  // and early chips interleave (early and late lie half a chip either side of the prompt instant), so one
  // interpolation serves the three reads of a symbol.
  struct HalfChips {
    double time = std::numeric_limits<double>::quiet_NaN();  // of the symbol's first chip
    int chips = 0;
    std::array<Complex, 2 * 11 + 1> values;
    Complex late(std::size_t k) const { return values[2 * k]; }
    Complex prompt(std::size_t k) const { return values[2 * k + 1]; }
    Complex early(std::size_t k) const { return values[2 * k + 2]; }
  };
  const HalfChips& halfChips(int chips) const;

  // Moves the timing on by `chips` chips, corrected by the early-late timing error [samples] of the symbol
  // just read.
  void advance(int chips, double error);

  const ChipStream& stream_;
  mutable HalfChips halfChips_;
  double time_;        // sample instant of the current symbol's first chip
  double drift_ = 0;   // relative chip-period error: (their chip period - ours) / ours
  // Sums for the least-squares line of the symbol instants over their nominal instants.
  double nominal_ = 0, sumX_ = 0, sumY_ = 0, sumXX_ = 0, sumXY_ = 0;
  long count_ = 0;
  ChipErrors chipErrors_;
  double chipEnergy_ = 0;
};

}  // namespace dot11b::rx
