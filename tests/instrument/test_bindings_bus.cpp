// SPDX-License-Identifier: GPL-3.0-or-later
// The bus routines through the library's C interface, against the simulator.
#include <gtest/gtest.h>

#include "c_values.h"
#include "scoped_env.h"
#include "sim_process.h"
#include "waveform_fixtures.h"

namespace instrument_test {
namespace {

const char* kIdentity = "Vantrel,Q6200T,SIM0001,A.01.00";

class BusBindings : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(Dot11b_c_libInitialize(), 1); }
  void TearDown() override { Dot11b_c_libTerminate(); }

  ScopedEnv timeout_{"DOT11B_INSTRIO_TIMEOUT_MS", "5000"};
  SimProcess sim_{{"--port", "0"}};
};

TEST_F(BusBindings, FormatconfigConvertsTheSixNumbersAndKeepsTheRest) {
  Handle config = startRecord("InitializeConfiguration", "configuration");
  setField(config, "GPIB.primary", scalar(19.0));
  setField(config, "RS232.baudrate", scalar(9600.4));
  setField(config, "GPIB.secondary", scalar(-1.5));  // halves away from zero
  Handle formatted(mlfFormatconfig(config.get()));
  ASSERT_NE(formatted.get(), nullptr) << dot11b_last_error();
  EXPECT_EQ(dot11b_real(fieldOf(formatted.get(), "GPIB.primary"))[0], 19);
  EXPECT_EQ(dot11b_real(fieldOf(formatted.get(), "RS232.baudrate"))[0], 9600);
  EXPECT_EQ(dot11b_real(fieldOf(formatted.get(), "GPIB.secondary"))[0], -2);
  EXPECT_EQ(textOf(fieldOf(formatted.get(), "RS232.handshake")), "Xon/Xoff");
  EXPECT_EQ(textOf(fieldOf(formatted.get(), "BBGtype")), "002");
  EXPECT_EQ(dot11b_field_count(formatted.get()), dot11b_field_count(config.get()));

  Handle gpibOnly(dot11b_create_record());
  setField(gpibOnly, "type", text("GPIB"));
  setField(gpibOnly, "GPIB.board", scalar(0));
  Handle formattedGpibOnly(mlfFormatconfig(gpibOnly.get()));
  EXPECT_EQ(fieldOf(formattedGpibOnly.get(), "TCPIP"), nullptr) << "a missing sub-record stays missing";
  EXPECT_EQ(fieldOf(formattedGpibOnly.get(), "GPIB.primary"), nullptr);

  setField(config, "GPIB.board", text("zero"));
  EXPECT_EQ(mlfFormatconfig(config.get()), nullptr);
  EXPECT_NE(std::string(dot11b_last_error()).find("GPIB.board"), std::string::npos) << dot11b_last_error();
}

TEST_F(BusBindings, PingAndVerifyCommGiveTheIdentity) {
  ASSERT_TRUE(sim_.started());
  const Handle config = tcpConfiguration(sim_.port());
  for (const char* routine : {"HwPing", "VerifyComm"}) {
    const Reply reply = call2(routine, {&config});
    ASSERT_EQ(reply.rc, 0) << reply.error;
    EXPECT_EQ(reply.status, 0) << routine;
    EXPECT_EQ(reply.description, kIdentity) << routine;
  }
}

TEST_F(BusBindings, VerifyCommReportsWhatHwPingReportsOnFailure) {
  SimProcess refusing({"--port", "0", "--refuse"});
  ASSERT_TRUE(refusing.started());
  const Handle config = tcpConfiguration(refusing.port());
  const Reply ping = call2("HwPing", {&config});
  const Reply verify = call2("VerifyComm", {&config});
  EXPECT_NE(ping.status, 0);
  EXPECT_EQ(verify.status, ping.status);
  EXPECT_EQ(verify.description, ping.description);
  EXPECT_NE(verify.description.find("refused"), std::string::npos) << verify.description;
}

TEST_F(BusBindings, SendQueryAndReturnToLocal) {
  ASSERT_TRUE(sim_.started());
  const Handle config = tcpConfiguration(sim_.port());
  const Handle command = text(" :source:freq:fix 2412000000Hz");
  const Handle question = text(":freq?");
  EXPECT_EQ(call2("HwSend", {&config, &command}).status, 0);
  const Reply reply = call2("HwQuery", {&config, &question});
  EXPECT_EQ(reply.status, 0);
  EXPECT_EQ(reply.description, "2412000000");
  EXPECT_EQ(call2("HwReturnLocal", {&config}).status, 0);
  // The return to local is checked as every command is.
  EXPECT_EQ(sim_.logLines(5), (std::vector<std::string>{" :source:freq:fix 2412000000Hz", ":SYSTem:ERRor?", ":freq?",
                                                        ":SYSTem:LOCal", ":SYSTem:ERRor?"}));
}

TEST_F(BusBindings, HwDownloadIgnoresItsFourthAndFifthInputs) {
  ASSERT_TRUE(sim_.started());
  const Handle config = tcpConfiguration(sim_.port());
  const TestWaveform w = pseudoRandomWaveform(1000);
  const Handle data = complexRow(w.i, w.q);
  std::vector<double> rows;  // 2 x N, column-major
  for (std::size_t k = 0; k < w.i.size(); ++k) {
    rows.push_back(w.marker1[k]);
    rows.push_back(w.marker2[k]);
  }
  const Handle markers = matrix(2, w.i.size(), rows);
  const Handle other = text("abc");
  const Handle seven = scalar(7);
  const Handle name = text("dot11b");
  const Reply reply = call2("HwDownload", {&config, &data, &markers, &other, &seven, &name});
  ASSERT_EQ(reply.rc, 0) << reply.error;
  EXPECT_EQ(reply.status, 0) << reply.description;
  EXPECT_TRUE(sim_.stored("ARBI", "dot11b") == expectedSampleBytes(w))
      << "stored at full scale, as with \"norm\" and 1";
  EXPECT_TRUE(sim_.stored("MKRI", "dot11b") == expectedMarkerBytes(w));
}

TEST_F(BusBindings, InstrIOPassesItsInputsToTheModule) {
  ASSERT_TRUE(sim_.started());
  const Handle config = tcpConfiguration(sim_.port());
  const Handle ping = scalar(1), query = scalar(3), text_ = text("*IDN?");
  const Reply reply = call2("InstrIO", {&query, &config, &text_});
  EXPECT_EQ(reply.status, 0);
  EXPECT_EQ(reply.description, kIdentity);
  EXPECT_EQ(mlfVInstrIO(ping.get(), config.get(), nullptr), 0) << dot11b_last_error();
  const Handle unknown = scalar(9);
  const Reply refused = call2("InstrIO", {&unknown, &config});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.description.find("operation code 9"), std::string::npos) << refused.description;
  const Reply extra = call2("InstrIO", {&ping, &config, &text_});
  EXPECT_EQ(extra.rc, -1);
  EXPECT_NE(extra.error.find("operation 1 takes 2 inputs, not 3"), std::string::npos) << extra.error;
}

TEST_F(BusBindings, ArityMessagesNameTheRoutineAndLine) {
  const Handle config = tcpConfiguration(5025);
  const Reply tooMany = call2("VerifyComm", {&config, &config});
  EXPECT_EQ(tooMany.rc, -1);
  EXPECT_EQ(tooMany.error,
            "Run-time Error: File: VerifyComm Line: 39 Column: 1 The function \"VerifyComm\" was called with more than "
            "the declared number of inputs (1).");
  const Reply hwPing = call2("HwPing", {&config, &config});
  EXPECT_NE(hwPing.error.find("File: hwPing Line: 1"), std::string::npos) << hwPing.error;
}

TEST_F(BusBindings, RecordWithoutTheBusFieldsIsAnError) {
  Handle config(dot11b_create_record());
  setField(config, "type", text("TCPIP"));
  const Reply reply = call2("HwPing", {&config});
  EXPECT_EQ(reply.rc, -1);
  EXPECT_NE(reply.error.find("no sub-record 'TCPIP'"), std::string::npos) << reply.error;
}

}  // namespace
}  // namespace instrument_test
