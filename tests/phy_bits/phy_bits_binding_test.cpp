// SPDX-License-Identifier: GPL-3.0-or-later
// The bit-level, PLCP, DSSS and pulse-shaping routines through the library's exported C interface.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "dot11b/Dot11b_c_lib.h"
#include "support/c_array.h"

namespace {

using namespace dot11b::testing;

class PhyBitsBinding : public LibraryTest {};

struct Declaration {
  const char* name;
  const char* messageName;
  int line;
  int inputs;  // -1: variable
  int outputs;
};

const Declaration kDeclarations[] = {
    {"Dot11b_PREAMBLE", "dot11b_PREAMBLE", 1, 1, 1},
    {"Dot11b_HEADER", "dot11b_HEADER", 1, 4, 1},
    {"Dot11b_SIGNAL", "dot11b_SIGNAL", 1, 1, 1},
    {"Dot11b_SERVICE", "dot11b_SERVICE", 1, 3, 1},
    {"Dot11b_LENGTH", "dot11b_LENGTH", 1, 3, 2},
    {"CCITT_CRC16", "CCITT_CRC16", 1, 1, 1},
    {"Dot11b_Scrambler", "dot11b_Scrambler", 1, 3, 1},
    {"Scrambler_7bit_741", "scrambler_7bit_741", 1, 2, 1},
    {"Lfsr", "lfsr", 1, 4, 1},
    {"LfsrChecksum", "lfsrChecksum", 1, 3, 1},
    {"CCITT_CRC32", "CCITT_CRC32", 1, 1, 1},
    {"Dot11b_DBPSK", "dot11b_DBPSK", 1, 2, 1},
    {"Dot11b_DQPSK", "dot11b_DQPSK", 1, 2, 1},
    {"Dot11b_BarkerSpread", "dot11b_BarkerSpread", 1, 1, 1},
    {"Dot11b_1Mbps", "dot11b_1Mbps", 1, 2, 2},
    {"Dot11b_2Mbps", "dot11b_2Mbps", 1, 2, 2},
    {"Filter_RootCosine", "filter_RootCosine", 1, 3, 1},
    {"Filter_gaussian", "filter_gaussian", 3, 3, 1},
    {"Upsample", "upsample", 1, 2, 1},
    {"Extendvector", "extendvector", 17, 2, 1},
    {"ApplyDacRes", "applyDacRes", 1, 2, 1},
    {"BitVector", "bitVector", 1, -1, 1},
    {"HexString", "hexString", 1, 2, 1},
};

std::string arityMessage(const Declaration& d, const char* what, int count) {
  return std::string("Run-time Error: File: ") + d.messageName + " Line: " + std::to_string(d.line) +
         " Column: 1 The function \"" + d.messageName +
         "\" was called with more than the declared number of " + what + " (" + std::to_string(count) + ").";
}

TEST_F(PhyBitsBinding, DeclaredCountsAndArityMessages) {
  for (const Declaration& d : kDeclarations) {
    int inputs = 0, outputs = 0;
    ASSERT_EQ(dot11b_routine_counts(d.name, &inputs, &outputs), 0) << d.name;
    EXPECT_EQ(inputs, d.inputs) << d.name;
    EXPECT_EQ(outputs, d.outputs) << d.name;

    std::vector<Array> owned;
    std::vector<dot11b_array*> args;
    for (int i = 0; i <= std::max(d.inputs, 0); ++i) args.push_back(owned.emplace_back(scalar(1)).get());
    std::vector<Array> results;
    if (d.inputs >= 0) {
      EXPECT_EQ(callRoutine(d.name, 1, args, results), -1) << d.name;
      EXPECT_EQ(dot11b_last_error(), arityMessage(d, "inputs", d.inputs));
    }
    EXPECT_EQ(callRoutine(d.name, d.outputs + 1, {}, results), -1) << d.name;
    EXPECT_EQ(dot11b_last_error(), arityMessage(d, "outputs", d.outputs));
  }
}

TEST_F(PhyBitsBinding, LengthGivesFieldAndExtension) {
  Array bits = scalar(80), rate = scalar(11), mod = scalar(0);
  Array lenExt;
  Array field(mlfDot11b_LENGTH(lenExt.out(), bits.get(), rate.get(), mod.get()));
  ASSERT_NE(field.get(), nullptr) << dot11b_last_error();
  EXPECT_EQ(field.real(), (std::vector<double>{0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(lenExt.real(), std::vector<double>{1});
}

TEST_F(PhyBitsBinding, HeaderRejectsAFractionalFlagInsteadOfTruncatingIt) {
  Array bits = scalar(8), rate = scalar(11), mod = scalar(0.5), locked = scalar(0);
  EXPECT_EQ(mlfDot11b_HEADER(bits.get(), rate.get(), mod.get(), locked.get()), nullptr);
  EXPECT_NE(std::string(dot11b_last_error()).find("highRateMod"), std::string::npos);
}

TEST_F(PhyBitsBinding, OneMbpsGivesChipsAndLastPhase) {
  Array bits = row({1}), phase = scalar(1);
  Array lastPhase;
  Array chips(mlfDot11b_1Mbps(lastPhase.out(), bits.get(), phase.get()));
  ASSERT_NE(chips.get(), nullptr) << dot11b_last_error();
  EXPECT_EQ(chips.real(), (std::vector<double>{-1, 1, -1, -1, 1, -1, -1, -1, 1, 1, 1}));
  EXPECT_EQ(lastPhase.real(), std::vector<double>{-1});
  // Asking only for the chips gives the same chips.
  Array only(mlfDot11b_1Mbps(nullptr, bits.get(), phase.get()));
  EXPECT_EQ(only.real(), chips.real());
}

TEST_F(PhyBitsBinding, DqpskRejectsAnOddBitCount) {
  Array bits = row({1, 0, 1}), phase = scalar(1);
  EXPECT_EQ(mlfDot11b_DQPSK(bits.get(), phase.get()), nullptr);
  EXPECT_NE(std::string(dot11b_last_error()).find("Dot11b_DQPSK"), std::string::npos);
}

TEST_F(PhyBitsBinding, BitVectorFormsAndMessages) {
  Array six = scalar(6), eight = scalar(8), left = text("left-msb");
  Array plain(mlfBitVector(six.get(), nullptr));
  EXPECT_EQ(plain.real(), (std::vector<double>{0, 1, 1}));
  Array padded(mlfBitVector(six.get(), eight.get(), nullptr));
  EXPECT_EQ(padded.real(), (std::vector<double>{0, 1, 1, 0, 0, 0, 0, 0}));
  Array msbFirst(mlfBitVector(six.get(), eight.get(), left.get(), nullptr));
  EXPECT_EQ(msbFirst.real(), (std::vector<double>{0, 0, 0, 0, 0, 1, 1, 0}));
  Array zero = scalar(0);
  Array empty(mlfBitVector(zero.get(), nullptr));
  EXPECT_TRUE(empty.real().empty());

  Array half = scalar(2.5);
  EXPECT_EQ(mlfBitVector(half.get(), nullptr), nullptr);
  EXPECT_STREQ(dot11b_last_error(), "Integer required");
  EXPECT_EQ(mlfBitVector(six.get(), eight.get(), left.get(), six.get(), nullptr), nullptr);
  EXPECT_STREQ(dot11b_last_error(), "Incorrect number of parameters.");
  std::vector<Array> results;
  EXPECT_EQ(callRoutine("BitVector", 1, {}, results), -1);
  EXPECT_STREQ(dot11b_last_error(), "Incorrect number of parameters.");
}

TEST_F(PhyBitsBinding, HexStringGivesText) {
  Array num = scalar(255), size = scalar(2);
  Array hex(mlfHexString(num.get(), size.get()));
  EXPECT_EQ(hex.text(), "00FF");
}

TEST_F(PhyBitsBinding, UpsampleKeepsAColumnAColumn) {
  Array x = column({1, 2, 3}), n = scalar(2);
  Array y(mlfUpsample(x.get(), n.get()));
  EXPECT_EQ(y.rows(), 6u);
  EXPECT_EQ(y.cols(), 1u);
  EXPECT_EQ(y.real(), (std::vector<double>{1, 0, 2, 0, 3, 0}));
  Array r = row({1, 2}), three = scalar(3);
  Array z(mlfUpsample(r.get(), three.get()));
  EXPECT_EQ(z.rows(), 1u);
  EXPECT_EQ(z.real(), (std::vector<double>{1, 0, 0, 2, 0, 0}));
}

TEST_F(PhyBitsBinding, ApplyDacResQuantisesAndLeavesSilenceAlone) {
  const double re[] = {1, 0}, im[] = {0, 0.5};
  Array wave(dot11b_create_matrix(1, 2, re, im)), bits = scalar(3);
  Array out(mlfApplyDacRes(wave.get(), bits.get()));
  ASSERT_NE(out.get(), nullptr) << dot11b_last_error();
  EXPECT_EQ(out.real(), (std::vector<double>{1, 0}));
  EXPECT_NEAR(out.imag().at(1), 2.0 / 3.0, 1e-15);

  Array silence = column({0, 0, 0}), fourteen = scalar(14);
  Array same(mlfApplyDacRes(silence.get(), fourteen.get()));
  EXPECT_EQ(same.rows(), 3u);
  EXPECT_EQ(same.real(), (std::vector<double>{0, 0, 0}));
}

TEST_F(PhyBitsBinding, FilterDesignsRejectAFractionalCount) {
  Array taps = scalar(8.5), factor = scalar(0.5), rate = scalar(4);
  EXPECT_EQ(mlfFilter_gaussian(taps.get(), factor.get(), rate.get()), nullptr);
  EXPECT_EQ(mlfFilter_RootCosine(taps.get(), factor.get(), rate.get()), nullptr);
  EXPECT_NE(std::string(dot11b_last_error()).find("num_taps"), std::string::npos);
}

TEST_F(PhyBitsBinding, Crc32OfTheCheckString) {
  std::vector<double> bits;
  for (const char c : std::string("123456789")) {
    for (int i = 0; i < 8; ++i) bits.push_back((static_cast<unsigned char>(c) >> i) & 1U);
  }
  Array in = row(bits);
  Array crc(mlfCCITT_CRC32(in.get()));
  std::uint32_t value = 0;
  const std::vector<double> out = crc.real();
  for (std::size_t i = 0; i < out.size(); ++i) value |= static_cast<std::uint32_t>(out[i]) << i;
  EXPECT_EQ(value, 0xCBF43926U);
}

}  // namespace
