#include "rx/frame_decoder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>

#include "phy/scrambler.h"
#include "rx/barker_share.h"
#include "rx/cck_decisions.h"
#include "rx/descrambler.h"
#include "rx/pbcc_decoder.h"
#include "rx/symbol_tracker.h"

namespace dot11b::rx {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kSymbolSeconds = 11 / kChipRate;
// Symbols searched for the SFD after the acquisition: long enough for a 1000 us power-on ramp and the
// 128 SYNC symbols of the long preamble.
constexpr int kSfdSearchSymbols = 1400;
// SFDs in transmission order, first bit in bit 15 of the register the bits are shifted into.
constexpr std::uint16_t kLongSfd = 0b0000010111001111;
constexpr std::uint16_t kShortSfd = 0b1111001110100000;
constexpr int kSyncBitsBeforeSfd = 8;  // SYNC bits that must precede an SFD
// Symbols over which the SFD search checks that its chips line up with the symbols (see barkerShare).
constexpr int kAlignmentSymbols = 16;
constexpr std::size_t kPeakEvmChips = 1000;

double wrap(double phase) { return std::remainder(phase, 2 * kPi); }

// The dibit of a DQPSK phase step (18.4.6.4): 0 -> 00, +pi/2 -> 01, pi -> 11, -pi/2 -> 10.
std::pair<uint8_t, uint8_t> dqpskDibit(double step) {
  const int quarter = static_cast<int>(std::lround(wrap(step) / (kPi / 2)));  // -2 .. 2
  switch ((quarter + 4) % 4) {
    case 0: return {0, 0};
    case 1: return {0, 1};
    case 2: return {1, 1};
    default: return {1, 0};
  }
}

double dqpskStep(uint8_t d0, uint8_t d1) {
  if (d0 == 0) return d1 == 0 ? 0.0 : kPi / 2;
  return d1 == 1 ? kPi : -kPi / 2;
}

ComplexRow barkerChips(Complex symbol) {
  ComplexRow chips(11);
  for (std::size_t k = 0; k < 11; ++k) chips[k] = kBarker[k] * symbol;
  return chips;
}

// The frame as it is decoded: the symbol loop, the descrambler, the phase reference of the last symbol
// and the received magnitude of a chip.
class FrameReader {
 public:
  FrameReader(const ChipStream& stream, double firstSymbol) : tracker_(stream, firstSymbol) {}

  SymbolTracker& tracker() { return tracker_; }
  double residualCfoHz() const { return std::arg(steps_) / (2 * kPi * kSymbolSeconds); }
  // How a chip is received, in magnitude, over the last few dozen symbols (a power-on ramp is forgotten by
  // the time its SYNC ends).
  double chipGain() const { return gain_; }

  // A DSSS symbol: its phase step decided as 0 or pi, or (quaternary) as one of the four quarter turns.
  // `record`: its chips count for the modulation accuracy.
  double dsssStep(bool quaternary, bool record) {
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

  // Whether the chips of the DSSS symbols since the last call lined up with the symbols; nothing when they
  // held no energy.
  std::optional<bool> aligned() {
    const double correlation = barkerEnergy_, chips = chipEnergy_;
    barkerEnergy_ = chipEnergy_ = 0;
    if (chips == 0) return std::nullopt;
    return barkerShare(correlation, chips) >= kAlignedShare;
  }

  double lastEnergy() const { return energy_; }
  double meanEnergy() const { return symbols_ > 0 ? std::pow(chipGain() * 11, 2) : 0.0; }

  // A received bit as the frame means it: descrambled, unless the frame was found to be sent unscrambled
  // (a test setting of some transmitters, this system's among them). The descrambler follows either way.
  uint8_t descramble(uint8_t bit) {
    const uint8_t descrambled = descrambler_.next(bit);
    return scrambled_ ? descrambled : bit;
  }
  void setScrambled(bool scrambled) { scrambled_ = scrambled; }
  bool scrambled() const { return scrambled_; }
  Descrambler descrambler() const { return descrambler_; }

  // A CCK symbol of `fullRate` (11 Mbit/s) or 5.5 Mbit/s; `odd`: an odd-numbered PSDU symbol, whose phi1
  // carries an extra pi. Appends its descrambled bits.
  void cckSymbol(bool fullRate, bool odd, Bits& psdu) {
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

  // The PBCC symbols of a PSDU of `bits` bits at 5.5 (`fullRate` false) or 11 Mbit/s, coherently against
  // the phase of the last header symbol, which the phase loop then follows. Returns the soft value of
  // every bit the symbols carry (positive: 0), in the order sent.
  std::vector<double> pbccSoftBits(bool fullRate, std::size_t symbols) {
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

 private:
  // The carrier's phase step over one symbol, as measured from the decided steps so far.
  double residualStep() const { return symbols_ > 1 ? std::arg(steps_) : 0.0; }

  SymbolTracker tracker_;
  Descrambler descrambler_;
  bool scrambled_ = true;
  Complex last_{1, 0};
  Complex steps_{0, 0};  // sum of the symbol steps with their decided modulation removed
  double gain_ = 0, energy_ = 0;
  double barkerEnergy_ = 0, chipEnergy_ = 0;  // since the last aligned()
  int symbols_ = 0;
};

bool fcsHolds(const Bits& psdu) {
  if (psdu.size() < 32) return false;
  const Bits covered(psdu.begin(), psdu.end() - 32);
  return phy::crc32(covered) == Bits(psdu.end() - 32, psdu.end());
}

// PBCC with the coder on sends two coded bits for every PSDU bit; with it off (a setting of this system's
// transmitter that the header does not tell), the bits themselves. Both readings are tried; the coded
// one stands unless only the uncoded one has a valid FCS.
Bits pbccPsdu(FrameReader& reader, bool fullRate, std::size_t bits) {
  const Descrambler atPsdu = reader.descrambler();
  const std::vector<double> soft = reader.pbccSoftBits(fullRate, fullRate ? bits : 2 * bits);
  Bits coded = viterbiDecode(soft);
  coded.resize(std::min(coded.size(), bits));
  Bits uncoded;
  for (std::size_t k = 0; k < std::min(soft.size(), bits); ++k) uncoded.push_back(soft[k] < 0 ? 1 : 0);
  const auto descrambled = [&](Bits& row) {
    if (!reader.scrambled()) return;
    Descrambler d = atPsdu;
    for (uint8_t& b : row) b = d.next(b);
  };
  descrambled(coded);
  descrambled(uncoded);
  const bool codedHolds = coded.size() == bits && fcsHolds(coded);
  const bool uncodedHolds = uncoded.size() == bits && fcsHolds(uncoded);
  return !codedHolds && uncodedHolds ? uncoded : coded;
}

void summariseEvm(const std::vector<double>& errors, ReceivedFrame& frame) {
  if (errors.empty()) return;
  double sum = 0;
  for (double e : errors) sum += e * e;
  frame.evmRmsPercent = 100 * std::sqrt(sum / static_cast<double>(errors.size()));
  const auto peakEnd = errors.begin() + static_cast<std::ptrdiff_t>(std::min(errors.size(), kPeakEvmChips));
  frame.evmPeak = *std::max_element(errors.begin(), peakEnd);
}

}  // namespace

FrameOutcome decodeFrame(const ChipStream& stream, const Acquisition& acquisition) {
  FrameReader reader(stream, acquisition.firstSymbol);
  SymbolTracker& tracker = reader.tracker();
  FrameOutcome outcome;

  // SYNC and SFD at 1 Mbit/s DBPSK. The descrambler is right from its eighth bit on.
  std::uint64_t recent = 0, recentRaw = 0;
  int weak = 0;
  std::optional<bool> shortPreamble;
  for (int m = 0; m < kSfdSearchSymbols && tracker.holds(11) && !shortPreamble; ++m) {
    const uint8_t raw = reader.dsssStep(false, false) != 0 ? 1 : 0;
    const uint8_t bit = reader.descramble(raw);
    // The signal is lost when its symbols fall far below the frame's level.
    weak = m > 4 && reader.lastEnergy() < 0.1 * reader.meanEnergy() ? weak + 1 : 0;
    if (weak >= 4) break;
    // Timing taken from chips that do not line up with the SYNC symbols (a long power-on ramp may carry
    // Barker chips at a phase of its own) leaves the loop on a Barker sidelobe: the SYNC and SFD bits come
    // through on it, the chips of a CCK or PBCC PSDU would not. The frame is acquired again from here,
    // where the SYNC sets the timing.
    if ((m + 1) % kAlignmentSymbols == 0) {
      const std::optional<bool> aligned = reader.aligned();
      if (aligned && !*aligned) break;
    }
    recent = (recent << 1) | bit;
    recentRaw = (recentRaw << 1) | raw;
    if (m < 7 + 16 + kSyncBitsBeforeSfd) continue;
    for (const std::uint64_t bits : {recent, recentRaw}) {
      const auto sfd = static_cast<std::uint16_t>(bits & 0xFFFF);
      const auto syncBits = static_cast<std::uint8_t>((bits >> 16) & 0xFF);
      if (sfd == kLongSfd && syncBits == 0xFF) shortPreamble = false;
      if (sfd == kShortSfd && syncBits == 0x00) shortPreamble = true;
      if (shortPreamble) {
        reader.setScrambled(bits == recent);
        break;
      }
    }
  }
  outcome.resumeAt = tracker.time();
  if (!shortPreamble) return outcome;

  ReceivedFrame frame;
  frame.shortPreamble = *shortPreamble;
  const int syncSymbols = frame.shortPreamble ? 56 : 128;
  frame.startSample = tracker.time() - (syncSymbols + 16) * 11.0 * kSamplesPerChip;

  // The header: 48 bits at 1 Mbit/s (long preamble) or 2 Mbit/s DQPSK (short).
  tracker.clearChipErrors();
  Bits headerBits, rawHeaderBits;
  while (headerBits.size() < 48) {
    if (!tracker.holds(11)) return outcome;
    const double step = reader.dsssStep(frame.shortPreamble, true);
    Bits raw;
    if (frame.shortPreamble) {
      const auto [d0, d1] = dqpskDibit(step);
      raw = {d0, d1};
    } else {
      raw = {static_cast<uint8_t>(step != 0 ? 1 : 0)};
    }
    for (uint8_t b : raw) {
      rawHeaderBits.push_back(b);
      headerBits.push_back(reader.descramble(b));
    }
  }
  frame.header = parsePlcpHeader(headerBits);
  // A scrambled preamble before an unscrambled header and PSDU (another test setting).
  if (!frame.header.crcOk && reader.scrambled() && parsePlcpHeader(rawHeaderBits).crcOk) {
    frame.header = parsePlcpHeader(rawHeaderBits);
    reader.setScrambled(false);
  }
  frame.cfoHz = acquisition.cfoHz + reader.residualCfoHz();
  const std::optional<double> rate = frame.header.rateMbps();
  const std::optional<std::size_t> octets = frame.header.psduOctets();
  if (frame.header.crcOk && rate && octets) {
    const bool highRate = *rate > 2;
    frame.modulation = !highRate ? (*rate == 1 ? "DBPSK" : "DQPSK") : frame.header.pbcc() ? "PBCC" : "CCK";
    const std::size_t bits = 8 * *octets;
    if (frame.modulation == "DBPSK" || frame.modulation == "DQPSK") {
      const bool quaternary = frame.modulation == "DQPSK";
      while (frame.psdu.size() < bits && tracker.holds(11)) {
        const double step = reader.dsssStep(quaternary, true);
        if (quaternary) {
          const auto [d0, d1] = dqpskDibit(step);
          frame.psdu.push_back(reader.descramble(d0));
          frame.psdu.push_back(reader.descramble(d1));
        } else {
          frame.psdu.push_back(reader.descramble(step != 0 ? 1 : 0));
        }
      }
    } else if (frame.modulation == "PBCC") {
      frame.psdu = pbccPsdu(reader, *rate == 11, bits);
    } else if (frame.modulation == "CCK") {
      const bool fullRate = *rate == 11;
      for (std::size_t symbol = 0; frame.psdu.size() < bits && tracker.holds(8); ++symbol) {
        reader.cckSymbol(fullRate, symbol % 2 == 1, frame.psdu);
      }
    }
    frame.psduComplete = frame.psdu.size() == bits;
    frame.fcsOk = frame.psduComplete && fcsHolds(frame.psdu);
  }
  frame.scrambled = reader.scrambled();
  frame.clockPpm = tracker.clockPpm();
  summariseEvm(tracker.chipErrors(), frame);
  outcome.resumeAt = tracker.time();
  frame.endSample = tracker.time();
  outcome.frame = frame;
  return outcome;
}

}  // namespace dot11b::rx
