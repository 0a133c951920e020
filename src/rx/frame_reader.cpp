// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/frame_reader.h"

#include <algorithm>
#include <numbers>

#include "rx/barker_share.h"
#include "rx/cck_decisions.h"
#include "rx/pbcc_decoder.h"

namespace dot11b::rx {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kSymbolSeconds = 11 / kChipRate;

double wrap(double phase) { return std::remainder(phase, 2 * kPi); }

double dqpskStep(uint8_t d0, uint8_t d1) {
  if (d0 == 0) return d1 == 0 ? 0.0 : kPi / 2;
  return d1 == 1 ? kPi : -kPi / 2;
}

ComplexRow barkerChips(Complex symbol) {
  ComplexRow chips(11);
  for (std::size_t k = 0; k < 11; ++k) chips[k] = kBarker[k] * symbol;
  return chips;
}

}  // namespace

std::pair<uint8_t, uint8_t> dqpskDibit(double step) {
  const int quarter = static_cast<int>(std::lround(wrap(step) / (kPi / 2)));  // -2 .. 2
  switch ((quarter + 4) % 4) {
    case 0: return {0, 0};
    case 1: return {0, 1};
    case 2: return {1, 1};
    default: return {1, 0};
  }
}

double FrameReader::residualCfoHz() const { return std::arg(steps_) / (2 * kPi * kSymbolSeconds); }

double FrameReader::dsssStep(bool quaternary, bool record) {
  const ComplexRow chips = tracker_.chips(11);
  const Complex symbol = tracker_.barkerSymbol();
  const Complex raw = symbol * std::conj(last_);
  const double measured = std::arg(raw) - residualStep();
  const double decided = quaternary ? std::round(wrap(measured) / (kPi / 2)) * (kPi / 2)
                                    : (std::cos(measured) >= 0 ? 0.0 : kPi);
  if (symbols_ > 0) {
    steps_ += raw * std::polar(1.0, -decided);
    // The acquisition leaves far less than a quarter turn of carrier a symbol (250 kHz). A sum beyond it
    // says that the steps were decided half a turn off, every one inverted: the first steps, on the idle
    // noise before a frame or on a long power-on ramp at the noise's level, can settle the decisions there,
    // and the SYNC then comes through as zeros, with no SFD after it. Turned back, the decisions from here
    // on are right.
    if (steps_.real() < 0) steps_ = -steps_;
  }
  if (record && chipGain() > 0) {
    const Complex reference = std::polar(chipGain(), std::arg(last_) + decided + residualStep());
    tracker_.recordChips(chips, barkerChips(1.0), reference);
  }
  gain_ = symbols_ == 0 ? std::abs(symbol) / 11 : gain_ + (std::abs(symbol) / 11 - gain_) / 32;
  ++symbols_;
  energy_ = std::norm(symbol);
  barkerEnergy_ += energy_;
  for (const Complex& chip : chips) chipEnergy_ += std::norm(chip);
  last_ = symbol;
  return decided;
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
  const ComplexRow chips = tracker_.chips(8);
  const CckDecision decision = decideCck(chips, fullRate);
  const double phi1 = std::arg(decision.correlation);
  const double step = phi1 - std::arg(last_) - (odd ? kPi : 0.0) - residualStep() * 8 / 11;
  const auto [d0, d1] = dqpskDibit(step);
  const double idealPhi1 = std::arg(last_) + dqpskStep(d0, d1) + (odd ? kPi : 0.0) + residualStep() * 8 / 11;
  if (chipGain() > 0) tracker_.recordChips(chips, decision.codeword, std::polar(chipGain(), idealPhi1));
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
    const ComplexRow chips = tracker_.chips(count);
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
