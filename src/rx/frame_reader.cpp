// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/frame_reader.h"

#include <algorithm>
#include <array>
#include <numbers>

#include "rx/barker_share.h"
#include "rx/cck_decisions.h"
#include "rx/pbcc_decoder.h"

namespace dot11b::rx {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kSymbolSeconds = 11 / kChipRate;

double wrap(double phase) { return std::remainder(phase, 2 * kPi); }

// The quarter turn nearest to z's phase: 0 (0), 1 (pi/2), 2 (pi) or 3 (-pi/2).
int nearestQuarter(Complex z) {
  if (std::abs(z.real()) >= std::abs(z.imag())) return z.real() >= 0 ? 0 : 2;
  return z.imag() > 0 ? 1 : 3;
}

Complex quarterTurn(int quarter) {
  constexpr std::array<Complex, 4> kTurns = {Complex(1, 0), Complex(0, 1), Complex(-1, 0), Complex(0, -1)};
  return kTurns[static_cast<std::size_t>(quarter)];
}

// The DQPSK dibit of each quarter-turn step.
constexpr std::array<std::pair<uint8_t, uint8_t>, 4> kQuarterDibits = {{{0, 0}, {0, 1}, {1, 1}, {1, 0}}};

// The Barker sequence as chips, the ideal chips of every DSSS symbol.
const ComplexRow& barkerChips() {
  static const ComplexRow chips(kBarker.begin(), kBarker.end());
  return chips;
}

}  // namespace

std::pair<uint8_t, uint8_t> dqpskDibit(double step) {
  const int quarter = static_cast<int>(std::lround(wrap(step) / (kPi / 2)));  // -2 .. 2
  return kQuarterDibits[static_cast<std::size_t>((quarter + 4) % 4)];
}

double FrameReader::residualCfoHz() const { return std::arg(steps_) / (2 * kPi * kSymbolSeconds); }

double FrameReader::dsssStep(bool quaternary, bool record) {
  ComplexRow& chips = chips_;
  tracker_.chips(11, chips);
  const Complex symbol = tracker_.barkerSymbol();
  const Complex raw = symbol * std::conj(last_);
  // The step with the residual carrier taken out, decided by its quadrant (DQPSK) or half plane (DBPSK):
  // turns as unit phasors, not angles, so that a symbol costs no arctangent.
  const Complex residual = residualTurn();
  const Complex measured = raw * std::conj(residual);
  const int quarter = quaternary ? nearestQuarter(measured) : measured.real() >= 0 ? 0 : 2;
  if (symbols_ > 0) {
    cckResidualTurn_.reset();
    steps_ += raw * std::conj(quarterTurn(quarter));
    // The acquisition leaves far less than a quarter turn of carrier a symbol (250 kHz). A sum beyond it
    // says that the steps were decided half a turn off, every one inverted: the first steps, on the idle
    // noise before a frame or on a long power-on ramp at the noise's level, can settle the decisions there,
    // and the SYNC then comes through as zeros, with no SFD after it. Turned back, the decisions from here
    // on are right.
    if (steps_.real() < 0) steps_ = -steps_;
  }
  if (record && chipGain() > 0) {
    const double lastMagnitude = std::sqrt(std::norm(last_));
    const Complex lastTurn = lastMagnitude > 0 ? last_ / lastMagnitude : Complex(1, 0);
    tracker_.recordChips(chips, barkerChips(), chipGain() * lastTurn * quarterTurn(quarter) * residual);
  }
  const double magnitude = std::sqrt(std::norm(symbol));
  gain_ = symbols_ == 0 ? magnitude / 11 : gain_ + (magnitude / 11 - gain_) / 32;
  ++symbols_;
  energy_ = std::norm(symbol);
  barkerEnergy_ += energy_;
  chipEnergy_ += tracker_.chipEnergy();
  last_ = symbol;
  constexpr std::array<double, 4> kQuarterSteps = {0, kPi / 2, kPi, -kPi / 2};
  return kQuarterSteps[static_cast<std::size_t>(quarter)];
}

std::optional<bool> FrameReader::aligned() {
  const double correlation = barkerEnergy_, chips = chipEnergy_;
  barkerEnergy_ = chipEnergy_ = 0;
  if (chips == 0) return std::nullopt;
  return barkerShare(correlation, chips) >= kAlignedShare;
}

uint8_t FrameReader::descramble(uint8_t bit) {
  const uint8_t descrambled = descrambler_.next(bit);
  return scrambled_ ? descrambled : bit;
}

void FrameReader::cckSymbol(bool fullRate, bool odd, Bits& psdu) {
  ComplexRow& chips = chips_;
  tracker_.chips(8, chips);
  const CckDecision decision = decideCck(chips, fullRate);
  // Phases as unit turns, not angles: a symbol then costs no arctangent. phi1 is the correlation's phase;
  // its step from the last symbol is measured with the odd symbols' extra half turn and the residual
  // carrier over the 8 chips taken out.
  if (!cckResidualTurn_) cckResidualTurn_ = std::polar(1.0, residualStep() * 8 / 11);
  const double lastMagnitude = std::sqrt(std::norm(last_));
  const Complex lastTurn = lastMagnitude > 0 ? last_ / lastMagnitude : Complex(1, 0);
  const Complex beyondStep = (odd ? -1.0 : 1.0) * *cckResidualTurn_;
  const int quarter = nearestQuarter(decision.correlation * std::conj(last_) * std::conj(beyondStep));
  const auto [d0, d1] = kQuarterDibits[static_cast<std::size_t>(quarter)];
  if (chipGain() > 0) {
    tracker_.recordChips(chips, decision.codeword, chipGain() * lastTurn * quarterTurn(quarter) * beyondStep);
  }
  tracker_.endSymbol(decision.codeword);
  last_ = decision.correlation;
  psdu.push_back(descramble(d0));
  psdu.push_back(descramble(d1));
  for (uint8_t b : decision.bits) psdu.push_back(descramble(b));
}

std::vector<double> FrameReader::pbccSoftBits(bool fullRate, std::size_t symbols) {
  const Bits cover = pbccCover(symbols);
  std::vector<double> soft;
  double phase = std::arg(last_);
  const double gain = chipGain();
  for (std::size_t first = 0; first < symbols && tracker_.holds(8); first += 8) {
    const int count = static_cast<int>(std::min<std::size_t>(8, symbols - first));
    ComplexRow& chips = chips_;
    tracker_.chips(count, chips);
    ComplexRow ideal(chips.size());
    for (std::size_t k = 0; k < chips.size(); ++k) {
      const Complex coverTurn = cover[first + k] ? Complex(0, 1) : Complex(1, 0);
      const Complex s = chips[k] * std::polar(1.0, -phase) * std::conj(coverTurn);
      Complex decided;
      if (fullRate) {
        // Turned by 45 degrees, the four points +1, -j, +j, -1 lie one to a quadrant: the sign of the real
        // part is d0, that of the imaginary part d1.
        const Complex turned = s * std::polar(1.0, kPi / 4);
        soft.push_back(turned.real());
        soft.push_back(turned.imag());
        decided = std::polar(1.0, -kPi / 4) * Complex(turned.real() >= 0 ? 1 : -1, turned.imag() >= 0 ? 1 : -1) /
                  std::sqrt(2.0);
      } else {
        soft.push_back(s.real());
        decided = s.real() >= 0 ? 1.0 : -1.0;
      }
      ideal[k] = decided * coverTurn;
      // A first-order loop on the phase error of each decision.
      phase += 0.05 * std::arg(s * std::conj(decided));
      if (gain > 0) tracker_.recordChips({chips[k]}, {ideal[k]}, std::polar(gain, phase));
      ideal[k] *= std::polar(1.0, phase);
    }
    tracker_.endSymbol(ideal);
  }
  return soft;
}

}  // namespace dot11b::rx
