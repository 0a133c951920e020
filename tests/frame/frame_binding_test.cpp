// SPDX-License-Identifier: GPL-3.0-or-later
// CCK, PBCC, the frame generator and the payload routines through the library's exported C interface.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "dot11b/Dot11b_c_lib.h"
#include "support/c_array.h"

namespace {

using namespace dot11b::testing;

class FrameBinding : public LibraryTest {};

struct Declaration {
  const char* name;
  const char* messageName;
  int inputs, outputs;
};

TEST_F(FrameBinding, DeclaredCountsAndArityMessages) {
  const Declaration declarations[] = {
      {"Dot11b_CCK", "dot11b_CCK", 3, 1},
      {"Dot11b_CCK5", "dot11b_CCK5", 2, 1},
      {"Dot11b_CCK11", "dot11b_CCK11", 2, 1},
      {"Dot11b_CCK_DQPSK", "dot11b_CCK_DQPSK", 3, 1},
      {"Dot11b_CCKcodeword", "dot11b_CCKcodeword", 4, 1},
      {"Dot11b_PBCC", "dot11b_PBCC", 4, 1},
      {"ConvolEncoder", "convolEncoder", 4, 1},
      {"Dot11b_FRAME", "dot11b_FRAME", 16, 2},
      {"Dot11_GeneratePayload", "dot11_GeneratePayload", 1, 1},
      {"PNgenerator", "PNgenerator", 5, 1},
      {"Dot11_CalcMACfcs", "dot11_CalcMACfcs", 1, 1},
  };
  for (const Declaration& d : declarations) {
    int inputs = 0, outputs = 0;
    ASSERT_EQ(dot11b_routine_counts(d.name, &inputs, &outputs), 0) << d.name;
    EXPECT_EQ(inputs, d.inputs) << d.name;
    EXPECT_EQ(outputs, d.outputs) << d.name;
    std::vector<Array> extra;
    for (int i = 0; i <= d.inputs; ++i) extra.push_back(scalar(0));
    std::vector<dot11b_array*> in;
    for (const Array& a : extra) in.push_back(a.get());
    std::vector<Array> results;
    EXPECT_EQ(callRoutine(d.name, 1, in, results), -1);
    EXPECT_EQ(std::string(dot11b_last_error()),
              std::string("Run-time Error: File: ") + d.messageName + " Line: 1 Column: 1 The function \"" +
                  d.messageName + "\" was called with more than the declared number of inputs (" +
                  std::to_string(d.inputs) + ").");
  }
}

TEST_F(FrameBinding, KnownVectorsThroughTheMlfForms) {
  const Array zeros8 = row(std::vector<double>(8, 0.0)), rate = scalar(11), one = scalar(1);
  const Array chips(mlfDot11b_CCK(zeros8.get(), rate.get(), one.get()));
  EXPECT_EQ(chips.real(), (std::vector<double>{1, 1, 1, -1, 1, 1, -1, 1}));
  EXPECT_EQ(dot11b_is_complex(chips.get()), 0);

  const Array impulse = row({1, 0, 0, 0, 0, 0, 0, 0}), k = scalar(7), g0 = scalar(133), g1 = scalar(175);
  const Array coded(mlfConvolEncoder(impulse.get(), k.get(), g0.get(), g1.get()));
  EXPECT_EQ(coded.real(), (std::vector<double>{1, 1, 0, 1, 1, 1, 1, 1, 0, 1, 1, 0, 1, 1, 0, 0}));

  // Trailing inputs left out with NULL take their defaults.
  const Array order = scalar(9), length = scalar(16);
  const Array pn(mlfPNgenerator(order.get(), length.get(), nullptr, nullptr, nullptr));
  EXPECT_EQ(pn.real(), (std::vector<double>{1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 1, 1}));
  const Array twoOrders = row({12, 13});
  const Array pnDefault(mlfPNgenerator(twoOrders.get(), nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(pnDefault.cols(), 511U);

  const Array empty(dot11b_create_matrix(0, 0, nullptr, nullptr));
  EXPECT_EQ(Array(mlfDot11_CalcMACfcs(empty.get())).real(), std::vector<double>(32, 0.0));
}

TEST_F(FrameBinding, FrameGivesWaveformAndMarkerMatrix) {
  // Framed, long preamble, 1 Mbit/s, empty PSDU, no ramp, 2 samples per chip, rectangular chips, no idle.
  const std::vector<double> settings = {1, 0, 0, 0, 1, 1, 1, 0, 0, 0, 2, 0, 0.5, 24, 0};
  std::vector<Array> inputs;
  inputs.emplace_back(dot11b_create_matrix(0, 0, nullptr, nullptr));
  for (double v : settings) inputs.push_back(scalar(v));
  std::vector<dot11b_array*> in;
  for (const Array& a : inputs) in.push_back(a.get());
  std::vector<Array> results;
  ASSERT_EQ(callRoutine("Dot11b_FRAME", 2, in, results), 0) << dot11b_last_error();
  EXPECT_EQ(results[0].rows(), 1U);
  EXPECT_EQ(results[0].cols(), 4224U);
  EXPECT_EQ(dot11b_is_complex(results[0].get()), 1);
  EXPECT_EQ(results[1].rows(), 2U);
  EXPECT_EQ(results[1].real(), std::vector<double>(2 * 4224, 1.0));

  inputs[1] = scalar(3);  // not a DSSS rate
  in[1] = inputs[1].get();
  std::vector<Array> failed;
  EXPECT_EQ(callRoutine("Dot11b_FRAME", 2, in, failed), -1);
  EXPECT_NE(std::string(dot11b_last_error()).find("dataRate"), std::string::npos) << dot11b_last_error();
}

TEST_F(FrameBinding, PayloadOfTheStartParameters) {
  const Array name(dot11b_create_text("InitializeParameters"));
  std::vector<Array> none;
  ASSERT_EQ(callRoutine("Dot11b_GUI_c", 0, {name.get()}, none), 0) << dot11b_last_error();
  Array parameters(dot11b_get_global("parameters"));
  ASSERT_NE(parameters.get(), nullptr);
  std::vector<Array> results;
  ASSERT_EQ(callRoutine("Dot11_GeneratePayload", 1, {parameters.get()}, results), 0) << dot11b_last_error();
  EXPECT_EQ(results[0].real(), std::vector<double>(8 * 1024, 0.0));

  // MAC header and FCS on: 240 header bits, the payload, 32 FCS bits.
  Array header(dot11b_duplicate(dot11b_field(parameters.get(), "MACheader")));
  const Array on = scalar(1);
  dot11b_set_field(header.get(), "Active", on.get());
  dot11b_set_field(parameters.get(), "MACheader", header.get());
  Array fcs(dot11b_duplicate(dot11b_field(parameters.get(), "MACfcs")));
  dot11b_set_field(fcs.get(), "Active", on.get());
  dot11b_set_field(parameters.get(), "MACfcs", fcs.get());
  std::vector<Array> framed;
  ASSERT_EQ(callRoutine("Dot11_GeneratePayload", 1, {parameters.get()}, framed), 0) << dot11b_last_error();
  EXPECT_EQ(framed[0].cols(), 240U + 8U * 1024U + 32U);

  const Array bare(dot11b_create_record());
  std::vector<Array> failed;
  EXPECT_EQ(callRoutine("Dot11_GeneratePayload", 1, {bare.get()}, failed), -1);
  EXPECT_NE(std::string(dot11b_last_error()).find("MACheader"), std::string::npos) << dot11b_last_error();
}

}  // namespace
