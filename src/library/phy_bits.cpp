// SPDX-License-Identifier: GPL-3.0-or-later
// Bit-level codes, PLCP fields, DSSS modulation and pulse shaping for the calling forms.
#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <string>

#include "mac/bit_conversions.h"
#include "phy/dpsk.h"
#include "phy/plcp.h"
#include "phy/pulse_shaping.h"
#include "phy/crc.h"
#include "phy/scrambler.h"
#include "runtime/binding.h"
#include "runtime/export_macros.h"
#include "runtime/shortest_text.h"

namespace dot11b::rt {

namespace {

// ---- PLCP (Dot11b_PREAMBLE ... CCITT_CRC16) ----

Values preambleBits(const Values& in, int) {
  const Inputs args(in, "Dot11b_PREAMBLE");
  return {fromBits(phy::plcpPreamble(args.integer(0, "preambleType")))};
}

Values headerBits(const Values& in, int) {
  const Inputs args(in, "Dot11b_HEADER");
  const double bits = args.scalar(0, "numberOfBITS");
  const double rate = args.scalar(1, "DATArate");
  const int mod = args.flag(2, "highRateMod");
  const int locked = args.flag(3, "locked");
  return {fromBits(phy::plcpHeader(bits, rate, mod, locked))};
}

Values signalField(const Values& in, int) {
  const Inputs args(in, "Dot11b_SIGNAL");
  return {fromBits(phy::plcpSignal(args.scalar(0, "DATArate")))};
}

Values serviceField(const Values& in, int) {
  const Inputs args(in, "Dot11b_SERVICE");
  const int locked = args.flag(0, "locked");
  const int mod = args.flag(1, "mod");
  const int lenExt = args.flag(2, "lenExt");
  return {fromBits(phy::plcpService(locked, mod, lenExt))};
}

Values lengthField(const Values& in, int) {
  const Inputs args(in, "Dot11b_LENGTH");
  const double bits = args.scalar(0, "numberOfBITS");
  const double rate = args.scalar(1, "DATArate");
  const int mod = args.flag(2, "mod");
  const phy::LengthField field = phy::plcpLength(bits, rate, mod);
  return {fromBits(field.bits), Value::scalar(field.lenExt)};
}

Values crc16(const Values& in, int) {
  const Inputs args(in, "CCITT_CRC16");
  return {fromBits(phy::crc16(args.bits(0, "input")))};
}

// ---- Scramblers, shift registers, CRC-32 ----

Values scrambler(const Values& in, int) {
  const Inputs args(in, "Dot11b_Scrambler");
  const int active = args.integer(0, "scrambleActive");
  const int preambleType = args.integer(1, "preambleType");
  const Bits frame = args.bits(2, "frame");
  return {fromBits(phy::dot11bScrambler(active, preambleType, frame))};
}

Values scrambler741(const Values& in, int) {
  const Inputs args(in, "Scrambler_7bit_741");
  const Bits bits = args.bits(0, "input");
  const Bits state = args.bits(1, "initState");
  std::array<uint8_t, 7> initState{};
  if (state.size() != initState.size()) {
    throw std::invalid_argument("Scrambler_7bit_741: input 'initState' must hold 7 bits, not " +
                                std::to_string(state.size()));
  }
  std::copy(state.begin(), state.end(), initState.begin());
  return {fromBits(phy::scrambler741(bits, initState))};
}

Values lfsr(const Values& in, int) {
  const Inputs args(in, "Lfsr");
  const int order = args.integer(0, "order");
  const Bits taps = args.bits(1, "taps");
  const std::uint64_t m = args.count(2, "m");
  const Bits seed = args.bits(3, "seed");
  return {fromBits(phy::lfsr(order, taps, m, seed))};
}

Values lfsrChecksum(const Values& in, int) {
  const Inputs args(in, "LfsrChecksum");
  const Bits taps = args.bits(0, "taps");
  const Bits state = args.bits(1, "initalstate");
  const Bits data = args.bits(2, "data");
  return {fromBits(phy::lfsrChecksum(taps, state, data))};
}

Values crc32(const Values& in, int) {
  const Inputs args(in, "CCITT_CRC32");
  return {fromBits(phy::crc32(args.bits(0, "input")))};
}

// ---- Differential PSK and Barker spreading ----

Values dbpsk(const Values& in, int) {
  const Inputs args(in, "Dot11b_DBPSK");
  const Bits data = args.bits(0, "data");
  const Complex start = args.complexScalar(1, "initialVector");
  return {fromComplex(phy::dbpsk(data, start))};
}

Values dqpsk(const Values& in, int) {
  const Inputs args(in, "Dot11b_DQPSK");
  const Bits data = args.bits(0, "data");
  const Complex start = args.complexScalar(1, "initialVector");
  return {fromComplex(phy::dqpsk(data, start))};
}

Values barkerSpread(const Values& in, int) {
  const Inputs args(in, "Dot11b_BarkerSpread");
  const Value& symbols = args.at(0, "signal");
  // The symbols are spread as a row: column n of Barker x symbols becomes chips 11(n-1)+1 .. 11n.
  if (symbols.isNumeric() && symbols.rows() > 1) {
    throw std::invalid_argument("Dot11b_BarkerSpread: input 'signal' must be a row of symbols, not " +
                                describe(symbols));
  }
  return {fromComplex(phy::barkerSpread(args.complexVector(0, "signal")))};
}

Values modulateRate(std::string_view routine, phy::Modulated (*modulate)(const Bits&, Complex), const Values& in) {
  const Inputs args(in, routine);
  const Bits bits = args.bits(0, "DATAbits");
  const Complex start = args.complexScalar(1, "intialPhase");
  const phy::Modulated result = modulate(bits, start);
  return {fromComplex(result.chips), fromComplex({result.lastPhase})};
}

Values oneMbps(const Values& in, int) { return modulateRate("Dot11b_1Mbps", &phy::modulate1Mbps, in); }
Values twoMbps(const Values& in, int) { return modulateRate("Dot11b_2Mbps", &phy::modulate2Mbps, in); }

// ---- Pulse shaping, resampling, DAC resolution ----

Values rootCosine(const Values& in, int) {
  const Inputs args(in, "Filter_RootCosine");
  const std::uint64_t taps = args.count(0, "num_taps");
  const double alpha = args.scalar(1, "alpha");
  const double perSymbol = args.scalar(2, "samp_per_symb");
  return {fromReal(phy::filterRootCosine(taps, alpha, perSymbol))};
}

Values gaussian(const Values& in, int) {
  const Inputs args(in, "Filter_gaussian");
  const std::uint64_t count = args.count(0, "numCoeff");
  const double bT = args.scalar(1, "bT");
  const double rate = args.scalar(2, "oversamplingRate");
  return {fromReal(phy::filterGaussian(count, bT, rate))};
}

Values upsample(const Values& in, int) {
  const Inputs args(in, "Upsample");
  const Value& x = args.at(0, "x");
  const ComplexRow values = args.complexVector(0, "x");
  const std::uint64_t n = args.count(1, "n");
  const ComplexRow y = phy::upsample(values, n);
  // A column (or a single value) gives a column, anything else a row.
  if (x.cols() == 1) return {fromComplex(y, y.size(), y.empty() ? 0 : 1)};
  return {fromComplex(y, y.empty() ? 0 : 1, y.size())};
}

Values extendVector(const Values& in, int) {
  const Inputs args(in, "Extendvector");
  const ComplexRow data = args.complexVector(0, "data");
  const std::uint64_t length = args.count(1, "reqLength");
  return {fromComplex(phy::extendVector(data, length))};
}

Values applyDacRes(const Values& in, int) {
  const Inputs args(in, "ApplyDacRes");
  const Value& wave = args.at(0, "wave");
  if (!wave.isNumeric()) {
    throw std::invalid_argument("ApplyDacRes: input 'wave' must be numeric, not " + describe(wave));
  }
  const double numBits = args.scalar(1, "numBits");
  ComplexRow samples(wave.numel());
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = wave.at(i);
  return {fromComplex(phy::applyDacRes(samples, numBits), wave.rows(), wave.cols())};
}

// ---- Bit and hexadecimal conversions ----

Values bitVector(const Values& in, int) {
  const Inputs args(in, "BitVector");
  if (in.empty() || in.size() > 3) throw std::invalid_argument("Incorrect number of parameters.");
  const double x = args.scalar(0, "x");
  if (!std::isfinite(x) || x != std::trunc(x)) throw std::invalid_argument("Integer required");
  if (x < 0 || x >= 9007199254740992.0) {
    throw std::invalid_argument("BitVector: input 'x' must be a whole number from 0 to 2^53 - 1, not " +
                                rt::shortestText(x));
  }
  const auto value = static_cast<std::uint64_t>(x);
  std::size_t minSize = mac::defaultBitVectorSize(value);
  if (args.given(1)) {
    // The whole part of the minimum size counts; a size that is not above the significant bits pads nothing.
    const double requested = std::trunc(args.scalar(1, "minSize"));
    if (!(requested <= 9007199254740992.0)) {
      throw std::invalid_argument("BitVector: input 'minSize' is not a usable size: " +
                                  rt::shortestText(requested));
    }
    minSize = requested > 0 ? static_cast<std::size_t>(requested) : 0;
  }
  const bool leftMsb = args.given(2) && args.text(2, "orientation") == "left-msb";
  return {fromBits(mac::bitVector(value, minSize, leftMsb))};
}

Values hexString(const Values& in, int) {
  const Inputs args(in, "HexString");
  const std::uint64_t num = args.count(0, "num");
  const std::uint64_t size = args.count(1, "size");
  return {Value::text(mac::hexString(num, size))};
}

void registerPhyBits(Registry& reg) {
  reg.add({"Dot11b_PREAMBLE", "dot11b_PREAMBLE", 1, 1, 1, preambleBits});
  reg.add({"Dot11b_HEADER", "dot11b_HEADER", 1, 4, 1, headerBits});
  reg.add({"Dot11b_SIGNAL", "dot11b_SIGNAL", 1, 1, 1, signalField});
  reg.add({"Dot11b_SERVICE", "dot11b_SERVICE", 1, 3, 1, serviceField});
  reg.add({"Dot11b_LENGTH", "dot11b_LENGTH", 1, 3, 2, lengthField});
  reg.add({"CCITT_CRC16", "CCITT_CRC16", 1, 1, 1, crc16});
  reg.add({"Dot11b_Scrambler", "dot11b_Scrambler", 1, 3, 1, scrambler});
  reg.add({"Scrambler_7bit_741", "scrambler_7bit_741", 1, 2, 1, scrambler741});
  reg.add({"Lfsr", "lfsr", 1, 4, 1, lfsr});
  reg.add({"LfsrChecksum", "lfsrChecksum", 1, 3, 1, lfsrChecksum});
  reg.add({"CCITT_CRC32", "CCITT_CRC32", 1, 1, 1, crc32});
  reg.add({"Dot11b_DBPSK", "dot11b_DBPSK", 1, 2, 1, dbpsk});
  reg.add({"Dot11b_DQPSK", "dot11b_DQPSK", 1, 2, 1, dqpsk});
  reg.add({"Dot11b_BarkerSpread", "dot11b_BarkerSpread", 1, 1, 1, barkerSpread});
  reg.add({"Dot11b_1Mbps", "dot11b_1Mbps", 1, 2, 2, oneMbps});
  reg.add({"Dot11b_2Mbps", "dot11b_2Mbps", 1, 2, 2, twoMbps});
  reg.add({"Filter_RootCosine", "filter_RootCosine", 1, 3, 1, rootCosine});
  reg.add({"Filter_gaussian", "filter_gaussian", 3, 3, 1, gaussian});
  reg.add({"Upsample", "upsample", 1, 2, 1, upsample});
  reg.add({"Extendvector", "extendvector", 17, 2, 1, extendVector});
  reg.add({"ApplyDacRes", "applyDacRes", 1, 2, 1, applyDacRes});
  reg.add({"BitVector", "bitVector", 1, kVariable, 1, bitVector});
  reg.add({"HexString", "hexString", 1, 2, 1, hexString});
}

}  // namespace

DOT11B_REGISTER_ROUTINES(registerPhyBits)

}  // namespace dot11b::rt

DOT11B_EXPORT_1(Dot11b_PREAMBLE, 1)
DOT11B_EXPORT_1(Dot11b_HEADER, 4)
DOT11B_EXPORT_1(Dot11b_SIGNAL, 1)
DOT11B_EXPORT_1(Dot11b_SERVICE, 3)
DOT11B_EXPORT_2(Dot11b_LENGTH, 3)
DOT11B_EXPORT_1(CCITT_CRC16, 1)
DOT11B_EXPORT_1(Dot11b_Scrambler, 3)
DOT11B_EXPORT_1(Scrambler_7bit_741, 2)
DOT11B_EXPORT_1(Lfsr, 4)
DOT11B_EXPORT_1(LfsrChecksum, 3)
DOT11B_EXPORT_1(CCITT_CRC32, 1)
DOT11B_EXPORT_1(Dot11b_DBPSK, 2)
DOT11B_EXPORT_1(Dot11b_DQPSK, 2)
DOT11B_EXPORT_1(Dot11b_BarkerSpread, 1)
DOT11B_EXPORT_2(Dot11b_1Mbps, 2)
DOT11B_EXPORT_2(Dot11b_2Mbps, 2)
DOT11B_EXPORT_1(Filter_RootCosine, 3)
DOT11B_EXPORT_1(Filter_gaussian, 3)
DOT11B_EXPORT_1(Upsample, 2)
DOT11B_EXPORT_1(Extendvector, 2)
DOT11B_EXPORT_1(ApplyDacRes, 2)
DOT11B_EXPORT_VARARGIN(BitVector)
DOT11B_EXPORT_1(HexString, 2)
