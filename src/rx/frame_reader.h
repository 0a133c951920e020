// SPDX-License-Identifier: GPL-3.0-or-later
// The frame as it is read symbol by symbol after the acquisition: DSSS, CCK and PBCC symbols with their
// decisions, the phase reference of the last symbol, the residual carrier step, the received magnitude of
// a chip and the descrambler. The preamble search and the frame decoder both read through it.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "rx/descrambler.h"
#include "rx/receiver.h"
#include "rx/symbol_tracker.h"

namespace dot11b::rx {

// The dibit of a DQPSK phase step (18.4.6.4): 0 -> 00, +pi/2 -> 01, pi -> 11, -pi/2 -> 10.
std::pair<uint8_t, uint8_t> dqpskDibit(double step);

// The frame as it is decoded: the symbol loop, the descrambler, the phase reference of the last symbol
// and the received magnitude of a chip.
class FrameReader {
 public:
  FrameReader(const ChipStream& stream, double firstSymbol) : tracker_(stream, firstSymbol) {}

  SymbolTracker& tracker() { return tracker_; }
  // The carrier offset left after the acquisition [Hz], from the decided symbol steps.
  double residualCfoHz() const;
  // How a chip is received, in magnitude, over the last few dozen symbols (a power-on ramp is forgotten by
  // the time its SYNC ends).
  double chipGain() const { return gain_; }

  // A DSSS symbol: its phase step decided as 0 or pi, or (quaternary) as one of the four quarter turns.
  // `record`: its chips count for the modulation accuracy.
  double dsssStep(bool quaternary, bool record);

  // Whether the chips of the DSSS symbols since the last call lined up with the symbols; nothing when they
  // held no energy.
  std::optional<bool> aligned();

  double lastEnergy() const { return energy_; }
  double meanEnergy() const { return symbols_ > 0 ? std::pow(chipGain() * 11, 2) : 0.0; }

  // A received bit as the frame means it: descrambled, unless the frame was found to be sent unscrambled
  // (a test setting of some transmitters, this system's among them). The descrambler follows either way.
  uint8_t descramble(uint8_t bit);
  void setScrambled(bool scrambled) { scrambled_ = scrambled; }
  bool scrambled() const { return scrambled_; }
  Descrambler descrambler() const { return descrambler_; }

  // A CCK symbol of `fullRate` (11 Mbit/s) or 5.5 Mbit/s; `odd`: an odd-numbered PSDU symbol, whose phi1
  // carries an extra pi. Appends its descrambled bits.
  void cckSymbol(bool fullRate, bool odd, Bits& psdu);

  // The PBCC symbols of a PSDU of `bits` bits at 5.5 (`fullRate` false) or 11 Mbit/s, coherently against
  // the phase of the last header symbol, which the phase loop then follows. Returns the soft value of
  // every bit the symbols carry (positive: 0), in the order sent.
  std::vector<double> pbccSoftBits(bool fullRate, std::size_t symbols);

 private:
  // The carrier's phase step over one symbol, as measured from the decided steps so far.
  double residualStep() const { return symbols_ > 1 ? std::arg(steps_) : 0.0; }
  // The same as a unit phasor.
  Complex residualTurn() const {
    const double magnitude = symbols_ > 1 ? std::sqrt(std::norm(steps_)) : 0.0;
    return magnitude > 0 ? steps_ / magnitude : Complex(1, 0);
  }

  SymbolTracker tracker_;
  ComplexRow chips_;  // the symbol's received chips
  Descrambler descrambler_;
  bool scrambled_ = true;
  Complex last_{1, 0};
  Complex steps_{0, 0};  // sum of the symbol steps with their decided modulation removed
  std::optional<Complex> cckResidualTurn_;  // the residual carrier's turn over a CCK symbol, once measured
  double gain_ = 0, energy_ = 0;
  double barkerEnergy_ = 0, chipEnergy_ = 0;  // since the last aligned()
  int symbols_ = 0;
};

}  // namespace dot11b::rx
