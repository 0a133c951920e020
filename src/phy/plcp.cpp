// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/plcp.h"

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "phy/crc.h"
#include "runtime/shortest_text.h"

namespace dot11b::phy {

namespace {

constexpr std::size_t kLongSyncBits = 128;
constexpr std::size_t kShortSyncBits = 56;
// SFD F3A0 (long) and its reverse 05CF (short), least significant bit first (IEEE 802.11b-1999 18.2.3).
const Bits kLongSfd = {0, 0, 0, 0, 0, 1, 0, 1, 1, 1, 0, 0, 1, 1, 1, 1};
const Bits kShortSfd = {1, 1, 1, 1, 0, 0, 1, 1, 1, 0, 1, 0, 0, 0, 0, 0};

// CRC-16 generator x^16 + x^12 + x^5 + 1 as the coefficients of x^0 .. x^16 (18.2.3.6).
const Bits kCrc16Generator = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1};

constexpr std::uint64_t kMaxLengthField = 0xFFFF;  // microseconds
// Whole numbers are exact in a double only up to 2^53.
constexpr double kMaxExactBits = 9007199254740992.0;

// The four DSSS rates with their SIGNAL codes (rate in 100 kbit/s, least significant bit first) and the
// rate counted in half Mbit/s, a whole number at every rate.
struct RateInfo {
  double mbps;
  unsigned halfMbps;
  Bits signal;
};

const RateInfo& rateInfo(const char* routine, double dataRate) {
  static const RateInfo kRates[] = {
      {1.0, 2, {0, 1, 0, 1, 0, 0, 0, 0}},
      {2.0, 4, {0, 0, 1, 0, 1, 0, 0, 0}},
      {5.5, 11, {1, 1, 1, 0, 1, 1, 0, 0}},
      {11.0, 22, {0, 1, 1, 1, 0, 1, 1, 0}},
  };
  for (const auto& rate : kRates) {
    if (rate.mbps == dataRate) return rate;
  }
  throw std::invalid_argument(std::string(routine) + ": data rate " + rt::shortestText(dataRate) +
                              " is not 1, 2, 5.5 or 11 Mbit/s");
}

void requireFlag(const char* routine, const char* name, int value) {
  if (value != 0 && value != 1) {
    throw std::invalid_argument(std::string(routine) + ": " + name + " must be 0 or 1, got " +
                                std::to_string(value));
  }
}

}  // namespace

Bits plcpPreamble(int preambleType) {
  if (preambleType != 0 && preambleType != 1) {
    throw std::invalid_argument("Dot11b_PREAMBLE: preambleType must be 0 (long) or 1 (short), got " +
                                std::to_string(preambleType));
  }
  const bool longPreamble = preambleType == 0;
  Bits output = longPreamble ? Bits(kLongSyncBits, 1) : Bits(kShortSyncBits, 0);
  const Bits& sfd = longPreamble ? kLongSfd : kShortSfd;
  output.insert(output.end(), sfd.begin(), sfd.end());
  return output;
}

Bits plcpSignal(double dataRate) { return rateInfo("Dot11b_SIGNAL", dataRate).signal; }

Bits plcpService(int locked, int mod, int lenExt) {
  requireFlag("Dot11b_SERVICE", "locked", locked);
  requireFlag("Dot11b_SERVICE", "mod", mod);
  requireFlag("Dot11b_SERVICE", "lenExt", lenExt);
  Bits output(8, 0);
  output[2] = static_cast<uint8_t>(locked);  // b2 locked clocks
  output[3] = static_cast<uint8_t>(mod);     // b3 modulation selection, 1 = PBCC
  output[7] = static_cast<uint8_t>(lenExt);  // b7 length extension
  return output;
}

LengthField plcpLength(double numberOfBits, double dataRate, int mod) {
  if (!(numberOfBits >= 0 && numberOfBits <= kMaxExactBits) || std::trunc(numberOfBits) != numberOfBits) {
    throw std::invalid_argument("Dot11b_LENGTH: number of PSDU bits must be a whole number >= 0, got " +
                                rt::shortestText(numberOfBits));
  }
  const RateInfo& rate = rateInfo("Dot11b_LENGTH", dataRate);
  requireFlag("Dot11b_LENGTH", "mod", mod);

  // Transmit time B / rate in microseconds, rounded up, computed in whole numbers as 2B / (2 rate) with
  // the rate in half Mbit/s. PBCC sends one extra octet.
  const auto bits = static_cast<std::uint64_t>(numberOfBits) + 8 * static_cast<std::uint64_t>(mod);
  const std::uint64_t intLen = (2 * bits + rate.halfMbps - 1) / rate.halfMbps;
  if (intLen > kMaxLengthField) {
    throw std::invalid_argument("Dot11b_LENGTH: a PSDU of " + std::to_string(bits) + " bits at " +
                                rt::shortestText(dataRate) + " Mbit/s lasts " + std::to_string(intLen) +
                                " us, more than the 16-bit LENGTH field holds (65535 us)");
  }
  LengthField field;
  field.bits.resize(16);
  for (std::size_t i = 0; i < field.bits.size(); ++i) {
    field.bits[i] = static_cast<uint8_t>((intLen >> i) & 1U);
  }
  // Length extension (18.2.3.5): set at 11 Mbit/s when the rounding added at least 8/11 us, that is
  // 11 * LENGTH - B >= 8.
  field.lenExt = rate.mbps == 11.0 && 11 * intLen - bits >= 8 ? 1 : 0;
  return field;
}

Bits crc16(const Bits& input) {
  Bits output = lfsrChecksum(kCrc16Generator, Bits(16, 1), input);
  for (auto& bit : output) bit ^= 1;
  return output;
}

Bits plcpHeader(double numberOfBits, double dataRate, int highRateMod, int locked) {
  const RateInfo& rate = rateInfo("Dot11b_HEADER", dataRate);
  requireFlag("Dot11b_HEADER", "highRateMod", highRateMod);
  requireFlag("Dot11b_HEADER", "locked", locked);
  // PBCC exists only at 5.5 and 11 Mbit/s; a 1 or 2 Mbit/s frame is DBPSK/DQPSK whatever the
  // high-rate setting holds, and must neither announce PBCC nor count its extra octet.
  const int mod = rate.mbps > 2.0 ? highRateMod : 0;
  const LengthField length = plcpLength(numberOfBits, dataRate, mod);
  Bits output = rate.signal;
  const Bits service = plcpService(locked, mod, length.lenExt);
  output.insert(output.end(), service.begin(), service.end());
  output.insert(output.end(), length.bits.begin(), length.bits.end());
  const Bits crc = crc16(output);
  output.insert(output.end(), crc.begin(), crc.end());
  return output;
}

}  // namespace dot11b::phy
