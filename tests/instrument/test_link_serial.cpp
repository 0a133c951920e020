// SPDX-License-Identifier: GPL-3.0-or-later
// The module over RS-232, against the simulator's pseudo-terminal.
#include <gtest/gtest.h>

#include "module_client.h"
#include "sim_process.h"
#include "waveform_fixtures.h"

namespace instrument_test {
namespace {

constexpr int32_t kPort = 7;

class SerialLink : public ::testing::Test {
 protected:
  ScopedEnv timeout_{"DOT11B_INSTRIO_TIMEOUT_MS", "5000"};
  SimProcess sim_{{"--pty"}};
  ScopedEnv device_{"DOT11B_SERIAL_PORT7", sim_.pty()};
};

TEST_F(SerialLink, PingWithEveryHandshake) {
  ASSERT_TRUE(sim_.started());
  for (const char* handshake : {"None", "Xon/Xoff", "RTS/CTS", "xon/xoff"}) {
    const auto reply = ping(serialPort(kPort, 9600, handshake));
    EXPECT_EQ(reply.status, INSTRIO_OK) << handshake << ": " << reply.text;
    EXPECT_EQ(reply.text, "Vantrel,Q6200T,SIM0001,A.01.00") << handshake;
  }
}

TEST_F(SerialLink, DownloadAt9600BaudStoresEveryByte) {
  ASSERT_TRUE(sim_.started());
  const TestWaveform w = pseudoRandomWaveform(40000);
  const auto reply = download(serialPort(kPort, 9600, "Xon/Xoff"), w);
  ASSERT_EQ(reply.status, INSTRIO_OK) << reply.text;
  EXPECT_TRUE(sim_.stored("ARBI", "dot11b") == expectedSampleBytes(w));
  EXPECT_TRUE(sim_.stored("MKRI", "dot11b") == expectedMarkerBytes(w));
  EXPECT_EQ(sim_.logLines(3), (std::vector<std::string>{":MMEMory:DATA \"ARBI:dot11b\",#6160000[160000 bytes]",
                                                        ":MMEMory:DATA \"MKRI:dot11b\",#540000[40000 bytes]",
                                                        ":SYSTem:ERRor?"}));
}

TEST_F(SerialLink, CommandsAndReturnToLocal) {
  ASSERT_TRUE(sim_.started());
  const TestConnection link = serialPort(kPort, 115200, "None");
  EXPECT_EQ(send(link, " :source:power:level:immediate:amplitude -30.5dbm").status, INSTRIO_OK);
  EXPECT_EQ(query(link, ":pow?").text, "-30.5");
  EXPECT_EQ(returnToLocal(link).status, INSTRIO_OK);
  EXPECT_EQ(withoutErrorQueries(sim_.logLines(5)).back(), ":SYSTem:LOCal");
}

TEST_F(SerialLink, NoReplyTimesOutNamingThePort) {
  ASSERT_TRUE(sim_.started());
  ScopedEnv shortTimeout("DOT11B_INSTRIO_TIMEOUT_MS", "300");
  const auto reply = query(serialPort(kPort, 9600, "None"), ":no:such:setting?");
  EXPECT_EQ(reply.status, INSTRIO_TIMED_OUT);
  EXPECT_NE(reply.text.find("ASRL7::INSTR (" + sim_.pty() + "): no reply to ':no:such:setting?' within 300 ms"),
            std::string::npos)
      << reply.text;
  // The unanswered query left its error in the queue; a later exchange still works.
  EXPECT_EQ(query(serialPort(kPort, 9600, "None"), ":SYSTem:ERRor?").text, "-113,\"Undefined header\"");
}

}  // namespace
}  // namespace instrument_test
