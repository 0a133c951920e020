// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/frame_decoder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "phy/crc.h"
#include "rx/descrambler.h"
#include "rx/frame_reader.h"
#include "rx/pbcc_decoder.h"
#include "rx/preamble_search.h"

namespace dot11b::rx {

namespace {

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

void summariseEvm(const SymbolTracker::ChipErrors& errors, ReceivedFrame& frame) {
  if (errors.count == 0) return;
  frame.evmRmsPercent = 100 * std::sqrt(errors.sumOfSquares / static_cast<double>(errors.count));
  frame.evmPeak = errors.peak;
}

}  // namespace

FrameOutcome decodeFrame(const ChipStream& stream, const Acquisition& acquisition) {
  FrameReader reader(stream, acquisition.firstSymbol);
  SymbolTracker& tracker = reader.tracker();
  FrameOutcome outcome;

  // SYNC and SFD at 1 Mbit/s DBPSK.
  const std::optional<bool> shortPreamble = findSfd(reader);
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
    frame.psdu.reserve(bits);
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
