// SPDX-License-Identifier: GPL-3.0-or-later
// Bus failures: each call ends within its time-out with a non-zero status and a text that names
// the address and the problem.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <limits>

#include "module_client.h"
#include "sim_process.h"
#include "waveform_fixtures.h"

namespace instrument_test {
namespace {

using Clock = std::chrono::steady_clock;
using dot11b::instrio::ModuleReply;

constexpr auto kTestTimeout = std::chrono::milliseconds(300);
// Bound against hangs: far above the time-out, far below the test run's own limit.
constexpr auto kHangGuard = std::chrono::seconds(5);

std::string tcpName(int port) { return "TCPIP0::127.0.0.1::" + std::to_string(port) + "::SOCKET"; }

// Runs the call with the short time-out and checks that it ended, failed with `status` and
// named every text of `mentions`.
void expectFailure(const std::function<ModuleReply()>& call, int32_t status, const std::vector<std::string>& mentions) {
  ScopedEnv timeout("DOT11B_INSTRIO_TIMEOUT_MS", std::to_string(kTestTimeout.count()));
  const auto start = Clock::now();
  const ModuleReply reply = call();
  EXPECT_LT(Clock::now() - start, kHangGuard);
  EXPECT_EQ(reply.status, status) << reply.text;
  for (const std::string& text : mentions) EXPECT_NE(reply.text.find(text), std::string::npos) << reply.text;
}

TEST(LinkFaults, ConnectionRefused) {
  SimProcess sim({"--port", "0", "--refuse"});
  ASSERT_TRUE(sim.started());
  expectFailure([&] { return ping(tcpTo(sim.port())); }, INSTRIO_CONNECT_FAILED,
                {tcpName(sim.port()), "cannot connect", "refused"});
}

TEST(LinkFaults, NoReply) {
  SimProcess sim({"--port", "0", "--delay-ms", "4000"});
  ASSERT_TRUE(sim.started());
  expectFailure([&] { return ping(tcpTo(sim.port())); }, INSTRIO_TIMED_OUT,
                {tcpName(sim.port()), "no reply to '*IDN?' within 300 ms"});
}

// The break shows while a block is still being written, or, when the blocks fit into the socket buffers,
// only as the module asks whether the instrument took them; a silent instrument shows only then. Either
// way the message says what became of the waveform rather than naming the module's question.
TEST(LinkFaults, ABrokenOrSilentConnectionDuringADownload) {
  struct Case {
    const char* fault;
    std::size_t samples;
    int32_t status;
    const char* mention;
  };
  for (const Case& c : std::vector<Case>{
           {"--drop-in-block", 40000, INSTRIO_CONNECTION_LOST, "; the waveform transfer did not complete"},
           {"--drop-in-block", 100, INSTRIO_CONNECTION_LOST, "; the waveform transfer did not complete"},
           {"--silent", 100, INSTRIO_TIMED_OUT, "the instrument did not confirm the waveform \"dot11b\" within"}}) {
    SimProcess sim({"--port", "0", c.fault});
    ASSERT_TRUE(sim.started());
    const TestWaveform w = pseudoRandomWaveform(c.samples);
    ModuleReply reply;
    expectFailure([&] { return reply = download(tcpTo(sim.port()), w); }, c.status, {tcpName(sim.port()), c.mention});
    EXPECT_EQ(reply.text.find(":SYSTem:ERRor?"), std::string::npos)
        << c.fault << ", " << c.samples << " samples: " << reply.text;
    // (A silent instrument may well hold the waveform: hence "may not have completed".)
    if (c.status == INSTRIO_CONNECTION_LOST) {
      EXPECT_FALSE(sim.hasStored("ARBI", "dot11b"));
    }
  }
}

TEST(LinkFaults, InstrumentErrorOnOneCommandIsReportedAndDoesNotLinger) {
  SimProcess sim({"--port", "0", "--fail-command", "2"});
  ASSERT_TRUE(sim.started());
  const TestConnection link = tcpTo(sim.port());
  EXPECT_EQ(send(link, " :source:rad:arb:state off").status, INSTRIO_OK);
  expectFailure([&] { return send(link, " :source:freq:fix 2412000000Hz"); }, INSTRIO_INSTRUMENT_ERROR,
                {"-200,\"Execution error;fault injected on command 2\""});
  EXPECT_EQ(send(link, " :output:state on").status, INSTRIO_OK);
}

TEST(LinkFaults, InstrumentReplyIsTheTextOfAFailedDownload) {
  SimProcess sim({"--port", "0"});
  ASSERT_TRUE(sim.started());
  TestWaveform w = pseudoRandomWaveform(8);
  w.title = "no/slash";  // the instrument refuses this name
  const ModuleReply reply = download(tcpTo(sim.port()), w);
  EXPECT_EQ(reply.status, INSTRIO_INSTRUMENT_ERROR);
  EXPECT_EQ(reply.text, "-257,\"File name error\"");
}

TEST(LinkFaults, UnknownCommandIsAnInstrumentError) {
  SimProcess sim({"--port", "0"});
  ASSERT_TRUE(sim.started());
  const ModuleReply reply = send(tcpTo(sim.port()), ":source:frobnicate 1");
  EXPECT_EQ(reply.status, INSTRIO_INSTRUMENT_ERROR);
  EXPECT_EQ(reply.text, "-113,\"Undefined header\"");
}

TEST(LinkFaults, SerialPortThatDoesNotExist) {
  ScopedEnv device("DOT11B_SERIAL_PORT9", "/nonexistent/ttyQ9");
  expectFailure([] { return ping(serialPort(9, 9600, "Xon/Xoff")); }, INSTRIO_CONNECT_FAILED,
                {"ASRL9::INSTR (/nonexistent/ttyQ9)", "does not exist"});
}

TEST(LinkFaults, NoGpibDriver) {
  ScopedEnv driver("DOT11B_GPIB_LIBRARY", "/nonexistent/libgpib.so.0");
  expectFailure([] { return ping(gpib(0, 19, -1)); }, INSTRIO_NO_DRIVER,
                {"GPIB0::19::INSTR", "no GPIB driver", "Install linux-gpib"});
}

// Refused inputs: nothing reaches the instrument.
struct RefusedCase {
  const char* name;
  std::function<ModuleReply(TestConnection&)> call;
  const char* mention;
};

ModuleReply sendText(TestConnection& c, const char* text) { return send(c, text); }
ModuleReply downloadWith(TestConnection& c, const std::function<void(TestWaveform&)>& change) {
  TestWaveform w = pseudoRandomWaveform(4);
  change(w);
  return download(c, w);
}

TEST(LinkFaults, BadInputsAreRefusedBeforeAnythingIsSent) {
  SimProcess sim({"--port", "0"});
  ASSERT_TRUE(sim.started());
  const std::vector<RefusedCase> cases = {
      {"line feed", [](TestConnection& c) { return sendText(c, ":freq 1\n:outp on"); },
       "holds a line feed at position 8"},
      {"carriage return", [](TestConnection& c) { return sendText(c, ":outp on\r"); }, "carriage return"},
      {"control character", [](TestConnection& c) { return sendText(c, ":outp\x01 on"); }, "0x01"},
      {"open string", [](TestConnection& c) { return sendText(c, ":rad:arb:wav \"arbi:x"); },
       "ends inside a quoted string"},
      {"empty command", [](TestConnection& c) { return sendText(c, ""); }, "is empty"},
      {"empty query", [](TestConnection& c) { return query(c, ""); }, "is empty"},
      {"quote in title", [](TestConnection& c) { return downloadWith(c, [](TestWaveform& w) { w.title = "a\"b"; }); },
       "double quote"},
      {"line break in title",
       [](TestConnection& c) { return downloadWith(c, [](TestWaveform& w) { w.title = "a\nb"; }); }, "line feed"},
      {"empty title", [](TestConnection& c) { return downloadWith(c, [](TestWaveform& w) { w.title = ""; }); },
       "is empty"},
      {"no samples",
       [](TestConnection& c) {
         return downloadWith(c, [](TestWaveform& w) {
           w.i.clear();
           w.q.clear();
         });
       },
       "no samples"},
      {"NaN sample",
       [](TestConnection& c) {
         return downloadWith(c, [](TestWaveform& w) { w.q[2] = std::numeric_limits<double>::quiet_NaN(); });
       },
       "Q of sample 3"},
      {"normalization",
       [](TestConnection& c) { return downloadWith(c, [](TestWaveform& w) { w.normalization = "peak"; }); },
       "\"peak\""},
      {"connection type",
       [](TestConnection& c) {
         c.type = "USB";
         return ping(c);
       },
       "\"USB\""},
      {"unset address",
       [](TestConnection& c) {
         c.address = "0.0.0.0";
         return ping(c);
       },
       "is not set"},
      {"bad port",
       [](TestConnection& c) {
         c.address = "127.0.0.1:99999";
         return ping(c);
       },
       "outside 1 to 65535"},
      {"interface version",
       [](TestConnection& c) {
         c.abiVersion = 99;
         return ping(c);
       },
       "version 99"},
      {"handshake",
       [](TestConnection& c) {
         c = serialPort(1, 9600, "DTR/DSR");
         return ping(c);
       },
       "\"DTR/DSR\""},
      {"serial port 0",
       [](TestConnection& c) {
         c = serialPort(0, 9600, "None");
         return ping(c);
       },
       "RS232 port 0"},
      {"baud rate",
       [](TestConnection& c) {
         c = serialPort(1, 0, "None");
         return ping(c);
       },
       "baud rate 0"},
      {"GPIB primary",
       [](TestConnection& c) {
         c = gpib(0, 31, -1);
         return ping(c);
       },
       "primary address 31"},
      {"GPIB secondary",
       [](TestConnection& c) {
         c = gpib(0, 19, 31);
         return ping(c);
       },
       "secondary address 31"},
      {"operation code", [](TestConnection& c) { return module().execute(9, c.record(), nullptr); },
       "operation code 9"},
      {"missing text", [](TestConnection& c) { return module().execute(INSTRIO_SEND, c.record(), nullptr); },
       "needs arguments"},
  };
  for (const RefusedCase& refused : cases) {
    TestConnection link = tcpTo(sim.port());
    const ModuleReply reply = refused.call(link);
    EXPECT_EQ(reply.status, INSTRIO_BAD_ARGUMENT) << refused.name << ": " << reply.text;
    EXPECT_NE(reply.text.find(refused.mention), std::string::npos) << refused.name << ": " << reply.text;
  }
  EXPECT_TRUE(sim.logLines(0, std::chrono::milliseconds(200)).empty()) << "something reached the instrument";
}

TEST(LinkFaults, BadTimeoutSettingIsRefused) {
  ScopedEnv timeout("DOT11B_INSTRIO_TIMEOUT_MS", "soon");
  const ModuleReply reply = ping(tcpTo(5025));
  EXPECT_EQ(reply.status, INSTRIO_BAD_ARGUMENT);
  EXPECT_NE(reply.text.find("DOT11B_INSTRIO_TIMEOUT_MS='soon'"), std::string::npos) << reply.text;
}

}  // namespace
}  // namespace instrument_test
