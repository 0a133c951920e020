// SPDX-License-Identifier: GPL-3.0-or-later
// CCK and PBCC modulation and the frame generator for the calling forms.
#include <stdexcept>
#include <string>

#include "phy/cck.h"
#include "phy/frame.h"
#include "phy/pbcc.h"
#include "runtime/binding.h"
#include "runtime/export_macros.h"

namespace dot11b::rt {

namespace {

// ---- CCK ----

Values cck(const Values& in, int) {
  const Inputs args(in, "Dot11b_CCK");
  const Bits bits = args.bits(0, "DATAbits");
  const double rate = args.scalar(1, "DATArate");
  return {fromComplex(phy::cck(bits, rate, args.complexScalar(2, "initialPhase")))};
}

Values cck5(const Values& in, int) {
  const Inputs args(in, "Dot11b_CCK5");
  const Bits bits = args.bits(0, "data");
  return {fromComplex(phy::cck5(bits, args.complexScalar(1, "initialPhase")))};
}

Values cck11(const Values& in, int) {
  const Inputs args(in, "Dot11b_CCK11");
  const Bits bits = args.bits(0, "data");
  return {fromComplex(phy::cck11(bits, args.complexScalar(1, "initialPhase")))};
}

Values cckDqpsk(const Values& in, int) {
  const Inputs args(in, "Dot11b_CCK_DQPSK");
  const Bits d0 = args.bits(0, "d0");
  const Bits d1 = args.bits(1, "d1");
  return {fromReal(phy::cckDqpsk(d0, d1, args.scalar(2, "initialPhase")))};
}

Values cckCodeword(const Values& in, int) {
  const Inputs args(in, "Dot11b_CCKcodeword");
  const auto word = phy::cckCodeword(args.scalar(0, "phi1"), args.scalar(1, "phi2"), args.scalar(2, "phi3"),
                                     args.scalar(3, "phi4"));
  return {fromComplex(ComplexRow(word.begin(), word.end()))};
}

// ---- PBCC ----

Values pbcc(const Values& in, int) {
  const Inputs args(in, "Dot11b_PBCC");
  const Bits bits = args.bits(0, "DATAbits");
  const double rate = args.scalar(1, "DATArate");
  const int encoderActive = args.flag(2, "encoderActive");
  return {fromComplex(phy::pbcc(bits, rate, encoderActive, args.complexScalar(3, "initialPhase")))};
}

Values convolEncoder(const Values& in, int) {
  const Inputs args(in, "ConvolEncoder");
  const Bits data = args.bits(0, "dataIn");
  const int k = args.integer(1, "k");
  const int g0 = args.integer(2, "g0");
  const int g1 = args.integer(3, "g1");
  return {fromBits(phy::convolEncoder(data, k, g0, g1))};
}

// ---- Frame generator ----

// The marker rows as a 2 x L matrix (column-major: row 1 and row 2 of each sample in turn).
Values frame(const Values& in, int nargout) {
  const Inputs args(in, "Dot11b_FRAME");
  const Bits bits = args.bits(0, "DATAbits");
  phy::FrameSettings s;
  s.dataRate = args.scalar(1, "DATArate");
  s.highRateMod = args.integer(2, "highRateMod");
  s.preambleType = args.integer(3, "preambleType");
  s.locked = args.integer(4, "locked");
  s.scramblerActive = args.integer(5, "scramblerActive");
  s.encoderActive = args.integer(6, "encoderActive");
  s.generationMode = args.integer(7, "generationMode");
  s.idleSamples = args.scalar(8, "idleSamples");
  s.rampType = args.integer(9, "rampType");
  s.rampLength = args.scalar(10, "rampLength");
  s.oversamplingRate = args.scalar(11, "oversamplingRate");
  s.filterType = args.integer(12, "filterType");
  s.filterFactor = args.scalar(13, "filterFactor");
  s.filterTaps = args.scalar(14, "filterTaps");
  s.mirrorSpectrum = args.scalar(15, "MirrorSpectrum") != 0;
  phy::Frame result = phy::generateFrame(bits, s);
  Values out{fromComplex(result.waveform)};
  if (nargout > 1) out.push_back(fromMarkerRows(result.marker1, result.marker2));
  return out;
}

void registerModulationFrame(Registry& reg) {
  reg.add({"Dot11b_CCK", "dot11b_CCK", 1, 3, 1, cck});
  reg.add({"Dot11b_CCK5", "dot11b_CCK5", 1, 2, 1, cck5});
  reg.add({"Dot11b_CCK11", "dot11b_CCK11", 1, 2, 1, cck11});
  reg.add({"Dot11b_CCK_DQPSK", "dot11b_CCK_DQPSK", 1, 3, 1, cckDqpsk});
  reg.add({"Dot11b_CCKcodeword", "dot11b_CCKcodeword", 1, 4, 1, cckCodeword});
  reg.add({"Dot11b_PBCC", "dot11b_PBCC", 1, 4, 1, pbcc});
  reg.add({"ConvolEncoder", "convolEncoder", 1, 4, 1, convolEncoder});
  reg.add({"Dot11b_FRAME", "dot11b_FRAME", 1, 16, 2, frame});
}

}  // namespace

DOT11B_REGISTER_ROUTINES(registerModulationFrame)

}  // namespace dot11b::rt

DOT11B_EXPORT_1(Dot11b_CCK, 3)
DOT11B_EXPORT_1(Dot11b_CCK5, 2)
DOT11B_EXPORT_1(Dot11b_CCK11, 2)
DOT11B_EXPORT_1(Dot11b_CCK_DQPSK, 3)
DOT11B_EXPORT_1(Dot11b_CCKcodeword, 4)
DOT11B_EXPORT_1(Dot11b_PBCC, 4)
DOT11B_EXPORT_1(ConvolEncoder, 4)
DOT11B_EXPORT_2(Dot11b_FRAME, 16)
