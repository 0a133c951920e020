// SPDX-License-Identifier: GPL-3.0-or-later
// The module over GPIB, through a stand-in driver library that carries the bytes to the simulator.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <unistd.h>

#include "module_client.h"
#include "sim_process.h"
#include "waveform_fixtures.h"

namespace instrument_test {
namespace {

std::vector<std::string> readLines(const std::string& file) {
  std::vector<std::string> lines;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class GpibLink : public ::testing::Test {
 protected:
  void SetUp() override { std::remove(traceFile_.c_str()); }
  void TearDown() override { std::remove(traceFile_.c_str()); }

  ScopedEnv timeout_{"DOT11B_INSTRIO_TIMEOUT_MS", "5000"};
  ScopedEnv driver_{"DOT11B_GPIB_LIBRARY", FAKE_GPIB_PATH};
  SimProcess sim_{{"--port", "0"}};
  ScopedEnv port_{"FAKE_GPIB_PORT", std::to_string(sim_.port())};
  std::string traceFile_ = "/tmp/fake-gpib-trace-" + std::to_string(::getpid());
  ScopedEnv trace_{"FAKE_GPIB_TRACE", traceFile_};
};

TEST_F(GpibLink, PingOpensTheAddressAndTakesTheDeviceOffLine) {
  ASSERT_TRUE(sim_.started());
  const auto reply = ping(gpib(0, 19, -1));
  EXPECT_EQ(reply.status, INSTRIO_OK) << reply.text;
  EXPECT_EQ(reply.text, "Vantrel,Q6200T,SIM0001,A.01.00");
  const auto trace = readLines(traceFile_);
  ASSERT_EQ(trace.size(), 2u);
  EXPECT_EQ(trace[0], "ibdev 0 19 0");
  EXPECT_EQ(trace[1].rfind("ibonl ", 0), 0u);
}

TEST_F(GpibLink, SecondaryAddressIsPassedAsTheDriverExpects) {
  ASSERT_TRUE(sim_.started());
  EXPECT_EQ(ping(gpib(0, 5, 3)).status, INSTRIO_OK);
  EXPECT_EQ(readLines(traceFile_).at(0), "ibdev 0 5 99");  // 0x60 + 3
}

TEST_F(GpibLink, DownloadAndReturnToLocal) {
  ASSERT_TRUE(sim_.started());
  const TestWaveform w = pseudoRandomWaveform(5000);
  const auto reply = download(gpib(0, 19, -1), w);
  ASSERT_EQ(reply.status, INSTRIO_OK) << reply.text;
  EXPECT_TRUE(sim_.stored("ARBI", "dot11b") == expectedSampleBytes(w));
  EXPECT_EQ(returnToLocal(gpib(0, 19, -1)).status, INSTRIO_OK);
  const auto trace = readLines(traceFile_);
  EXPECT_NE(
      std::find_if(trace.begin(), trace.end(), [](const std::string& call) { return call.rfind("ibloc ", 0) == 0; }),
      trace.end());
  EXPECT_EQ(withoutErrorQueries(sim_.logLines(3)).size(), 2u) << "local control is a bus message, not a command";
}

TEST_F(GpibLink, NoListenerIsABusErrorNamingTheAddress) {
  ASSERT_TRUE(sim_.started());
  ::unsetenv("FAKE_GPIB_PORT");
  const auto reply = ping(gpib(0, 19, -1));
  EXPECT_EQ(reply.status, INSTRIO_BUS_ERROR);
  EXPECT_NE(reply.text.find("GPIB0::19::INSTR: sending '*IDN?' failed"), std::string::npos) << reply.text;
  EXPECT_NE(reply.text.find("ENOL"), std::string::npos) << reply.text;
}

TEST_F(GpibLink, MissingBoardCannotBeOpened) {
  ASSERT_TRUE(sim_.started());
  const auto reply = ping(gpib(3, 19, -1));
  EXPECT_EQ(reply.status, INSTRIO_CONNECT_FAILED);
  EXPECT_NE(reply.text.find("GPIB3::19::INSTR: cannot open the device: ENEB"), std::string::npos) << reply.text;
}

}  // namespace
}  // namespace instrument_test
