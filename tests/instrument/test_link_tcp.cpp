// SPDX-License-Identifier: GPL-3.0-or-later
// The module against the simulator over a loopback socket: exact bytes and commands.
#include <gtest/gtest.h>

#include "module_client.h"
#include "sim_process.h"
#include "waveform_fixtures.h"

namespace instrument_test {
namespace {

using Lines = std::vector<std::string>;

class TcpLink : public ::testing::Test {
 protected:
  ScopedEnv timeout_{"DOT11B_INSTRIO_TIMEOUT_MS", "5000"};
  SimProcess sim_{{"--port", "0"}};
  TestConnection link_ = tcpTo(sim_.port());
};

TEST_F(TcpLink, PingReturnsTheIdentity) {
  ASSERT_TRUE(sim_.started());
  const auto reply = ping(link_);
  EXPECT_EQ(reply.status, INSTRIO_OK);
  EXPECT_EQ(reply.text, "Vantrel,Q6200T,SIM0001,A.01.00");
  EXPECT_EQ(sim_.logLines(1), Lines{"*IDN?"});
}

TEST_F(TcpLink, SendIsCheckedAndQueryReadsTheSettingBack) {
  ASSERT_TRUE(sim_.started());
  EXPECT_EQ(send(link_, " :source:freq:fix 2412000000Hz").status, INSTRIO_OK);
  const auto reply = query(link_, ":SOURce:FREQuency:FIXed?");
  EXPECT_EQ(reply.status, INSTRIO_OK);
  EXPECT_EQ(reply.text, "2412000000");
  EXPECT_EQ(sim_.logLines(3), (Lines{" :source:freq:fix 2412000000Hz", ":SYSTem:ERRor?", ":SOURce:FREQuency:FIXed?"}));
}

TEST_F(TcpLink, SendOfAQueryReturnsItsReply) {
  ASSERT_TRUE(sim_.started());
  const auto reply = send(link_, "*IDN?");
  EXPECT_EQ(reply.status, INSTRIO_OK);
  EXPECT_EQ(reply.text, "Vantrel,Q6200T,SIM0001,A.01.00");
}

TEST_F(TcpLink, DownloadStoresTheKnownBytes) {
  ASSERT_TRUE(sim_.started());
  // I/Q = [1+1j, -1-0.5j]: 32766, 32766, -32766, -16383 (the 16-bit waveform file's vector).
  TestWaveform w;
  w.i = {1.0, -1.0};
  w.q = {1.0, -0.5};
  w.marker1 = {1, 0};
  w.marker2 = {1, 1};
  const auto reply = download(link_, w);
  ASSERT_EQ(reply.status, INSTRIO_OK) << reply.text;
  EXPECT_EQ(hex(sim_.stored("ARBI", "dot11b")), "7F FE 7F FE 80 02 C0 01");
  EXPECT_EQ(hex(sim_.stored("MKRI", "dot11b")), "03 02");
  EXPECT_EQ(sim_.logLines(3), (Lines{":MMEMory:DATA \"ARBI:dot11b\",#18[8 bytes]",
                                     ":MMEMory:DATA \"MKRI:dot11b\",#12[2 bytes]", ":SYSTem:ERRor?"}));
}

TEST_F(TcpLink, DownloadOfALargeWaveformStoresEveryByte) {
  ASSERT_TRUE(sim_.started());
  const TestWaveform w = pseudoRandomWaveform(40000);
  const auto reply = download(link_, w);
  ASSERT_EQ(reply.status, INSTRIO_OK) << reply.text;
  EXPECT_TRUE(sim_.stored("ARBI", "dot11b") == expectedSampleBytes(w));
  EXPECT_TRUE(sim_.stored("MKRI", "dot11b") == expectedMarkerBytes(w));
}

TEST(TcpLinkIpv6, PingOverIpv6Loopback) {
  ScopedEnv timeout("DOT11B_INSTRIO_TIMEOUT_MS", "5000");
  SimProcess sim({"--port", "0", "--bind", "::1"});
  if (!sim.started()) GTEST_SKIP() << "no IPv6 loopback on this machine";
  TestConnection link;
  link.address = "[::1]:" + std::to_string(sim.port());
  const auto reply = ping(link);
  EXPECT_EQ(reply.status, INSTRIO_OK) << reply.text;
  EXPECT_EQ(reply.text, "Vantrel,Q6200T,SIM0001,A.01.00");
}

}  // namespace
}  // namespace instrument_test
