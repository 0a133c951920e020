// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/preamble_search.h"

#include <cstdint>

namespace dot11b::rx {

namespace {

// Symbols searched for the SFD after the acquisition: long enough for a 1000 us power-on ramp and the
// 128 SYNC symbols of the long preamble.
constexpr int kSfdSearchSymbols = 1400;
// SFDs in transmission order, first bit in bit 15 of the register the bits are shifted into.
constexpr std::uint16_t kLongSfd = 0b0000010111001111;
constexpr std::uint16_t kShortSfd = 0b1111001110100000;
constexpr int kSyncBitsBeforeSfd = 8;  // SYNC bits that must precede an SFD
// Symbols over which the SFD search checks that its chips line up with the symbols (see barkerShare).
constexpr int kAlignmentSymbols = 16;

}  // namespace

std::optional<bool> findSfd(FrameReader& reader) {
  SymbolTracker& tracker = reader.tracker();
  // The descrambler is right from its eighth bit on.
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
  return shortPreamble;
}

}  // namespace dot11b::rx
