// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/pbcc.h"

#include <array>
#include <stdexcept>
#include <string>

#include "runtime/shortest_text.h"

namespace dot11b::phy {

namespace {

// Longest constraint length whose generator still fits the 64-bit value it is read into.
constexpr int maxConstraintLength = 63;

// Generator written with octal digits (133) read as the number it stands for (91); throws on a digit 8 or 9.
std::uint64_t octalDigitsValue(int octal, const char* name) {
  if (octal < 0) throw std::invalid_argument(std::string("ConvolEncoder: generator ") + name + " is negative");
  std::uint64_t value = 0;
  std::uint64_t weight = 1;
  for (int rest = octal; rest > 0; rest /= 10, weight *= 8) {
    const int digit = rest % 10;
    if (digit > 7) {
      throw std::invalid_argument(std::string("ConvolEncoder: generator ") + name + " = " + std::to_string(octal) +
                                  " has a digit that is not octal");
    }
    value += static_cast<std::uint64_t>(digit) * weight;
  }
  return value;
}

// k-bit mask of the generator, most significant bit first: mask[0] weighs the current input bit,
// mask[k-1] the bit k-1 steps earlier.
Bits generatorMask(int octal, int k, const char* name) {
  const std::uint64_t value = octalDigitsValue(octal, name);
  if (value >> k != 0) {
    throw std::invalid_argument(std::string("ConvolEncoder: generator ") + name + " = " + std::to_string(octal) +
                                " needs more than k = " + std::to_string(k) + " bits");
  }
  Bits mask(static_cast<std::size_t>(k));
  for (int j = 0; j < k; ++j) mask[static_cast<std::size_t>(j)] = (value >> (k - 1 - j)) & 1U;
  return mask;
}

// Exclusive OR of the input bits that the mask selects at time t; bits before the start count as 0.
uint8_t branchBit(const Bits& dataIn, std::size_t t, const Bits& mask) {
  uint8_t sum = 0;
  for (std::size_t j = 0; j < mask.size() && j <= t; ++j) sum ^= mask[j] & dataIn[t - j];
  return sum;
}

// Cover symbol of one cover bit: 0 leaves the symbol, 1 turns it by +pi/2.
Complex coverRotation(uint8_t coverBit) { return coverBit ? Complex(0, 1) : Complex(1, 0); }

}  // namespace

Bits convolEncoder(const Bits& dataIn, int k, int g0Octal, int g1Octal) {
  if (k < 1 || k > maxConstraintLength) {
    throw std::invalid_argument("ConvolEncoder: constraint length k = " + std::to_string(k) + " is not in 1.." +
                                std::to_string(maxConstraintLength));
  }
  const Bits g0mask = generatorMask(g0Octal, k, "g0");
  const Bits g1mask = generatorMask(g1Octal, k, "g1");
  Bits coded(2 * dataIn.size());
  for (std::size_t t = 0; t < dataIn.size(); ++t) {
    coded[2 * t] = branchBit(dataIn, t, g0mask);
    coded[2 * t + 1] = branchBit(dataIn, t, g1mask);
  }
  return coded;
}

Bits pbccCoverBits(std::size_t reqLength) {
  // IEEE 802.11b-1999 18.4.6.6.3: the 16-bit seed, rotated left by three more places on every row.
  static constexpr std::array<uint8_t, 16> coverSeed = {0, 0, 1, 1, 0, 0, 1, 1, 1, 0, 0, 0, 1, 0, 1, 1};
  Bits cover(reqLength);
  for (std::size_t n = 0; n < reqLength; ++n) {
    const std::size_t row = n / 16;
    const std::size_t startPtr = (3 * row) % 16;
    cover[n] = coverSeed[(startPtr + n % 16) % 16];
  }
  return cover;
}

ComplexRow pbcc(const Bits& bits, double dataRate, int encoderActive, Complex initialPhase) {
  if (dataRate != 5.5 && dataRate != 11) {
    throw std::invalid_argument("Dot11b_PBCC: data rate " + rt::shortestText(dataRate) +
                                " Mbit/s is not a PBCC rate (5.5 or 11)");
  }
  if (encoderActive != 0 && encoderActive != 1) {
    throw std::invalid_argument("Dot11b_PBCC: encoderActive = " + std::to_string(encoderActive) +
                                " is not 0 or 1");
  }
  // No tail is coded: the coder starts in the zero state and stops with the last PSDU bit.
  const Bits encodedBits = encoderActive == 1 ? convolEncoder(bits, 7, 133, 175) : bits;

  if (dataRate == 5.5) {
    // BPSK: one symbol per coded bit, 0 -> +1, 1 -> -1.
    const Bits cover = pbccCoverBits(encodedBits.size());
    ComplexRow symbols(encodedBits.size());
    for (std::size_t i = 0; i < symbols.size(); ++i) {
      const double data = 1.0 - 2.0 * encodedBits[i];
      symbols[i] = initialPhase * data * coverRotation(cover[i]);
    }
    return symbols;
  }

  if (encodedBits.size() % 2 != 0) {
    throw std::invalid_argument("Dot11b_PBCC: " + std::to_string(encodedBits.size()) +
                                " bits to map at 11 Mbit/s are not a whole number of QPSK symbols");
  }
  // QPSK: one symbol per bit pair (d0, d1): 00 +1, 01 -j, 10 +j, 11 -1.
  const Bits cover = pbccCoverBits(encodedBits.size() / 2);
  ComplexRow symbols(encodedBits.size() / 2);
  for (std::size_t i = 0; i < symbols.size(); ++i) {
    const int d0 = encodedBits[2 * i];
    const int d1 = encodedBits[2 * i + 1];
    const Complex data(1 - (d0 + d1), d0 - d1);
    symbols[i] = initialPhase * data * coverRotation(cover[i]);
  }
  return symbols;
}

}  // namespace dot11b::phy
