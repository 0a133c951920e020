// SPDX-License-Identifier: GPL-3.0-or-later
// dot11b ping and dot11b refresh against the simulator.
#include <gtest/gtest.h>

#include "c_values.h"
#include "cli_runner.h"
#include "scoped_env.h"
#include "sim_process.h"
#include "waveform_fixtures.h"

namespace instrument_test {
namespace {

using Lines = std::vector<std::string>;

std::string tcpUri(const SimProcess& sim) { return "tcpip:127.0.0.1:" + std::to_string(sim.port()); }

class CliLink : public ::testing::Test {
 protected:
  ScopedEnv timeout_{"DOT11B_INSTRIO_TIMEOUT_MS", "3000"};
};

TEST_F(CliLink, PingPrintsTheIdentity) {
  SimProcess sim({"--port", "0"});
  ASSERT_TRUE(sim.started());
  const CliResult r = runCli({"ping", "--to", tcpUri(sim)});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.out, "Vantrel,Q6200T,SIM0001,A.01.00\n");
}

TEST_F(CliLink, PingOverTheSerialLine) {
  SimProcess sim({"--pty"});
  ASSERT_TRUE(sim.started());
  ScopedEnv device("DOT11B_SERIAL_PORT5", sim.pty());
  const CliResult r = runCli({"ping", "--to", "serial:5:115200:none"});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.out, "Vantrel,Q6200T,SIM0001,A.01.00\n");
}

TEST_F(CliLink, PingFailuresAndBadAddresses) {
  SimProcess refusing({"--port", "0", "--refuse"});
  ASSERT_TRUE(refusing.started());
  const CliResult refused = runCli({"ping", "--to", tcpUri(refusing)});
  EXPECT_EQ(refused.exitStatus, 1);
  EXPECT_NE(refused.err.find("TCPIP0::127.0.0.1::" + std::to_string(refusing.port()) + "::SOCKET: cannot connect"),
            std::string::npos)
      << refused.err;
  struct Case {
    Lines args;
    const char* mention;
  };
  for (const Case& c : std::vector<Case>{
           {{"ping"}, "--to URI is required"},
           {{"ping", "--to", "usb:1"}, "unknown bus 'usb'"},
           {{"ping", "--to", "gpib:0"}, "give the board and the primary address"},
           {{"ping", "--to", "gpib:0:31"}, "primary address '31'"},
           {{"ping", "--to", "serial:1:9600:dtr"}, "handshake 'dtr'"},
           {{"ping", "--to", "tcpip:"}, "no host"},
           {{"ping", "--to", "gpib:inf:19"}, "board 'inf'"},
           {{"ping", "--to", "serial:nan"}, "port 'nan'"},
           {{"refresh", "--to", "tcpip:h", "--frequency", "nan"}, "--frequency needs a number"},
           {{"refresh", "--to", "tcpip:h", "--amplitude", "NaN"}, "--amplitude needs a number"},
           {{"ping", "--to", "tcpip:h", "extra"}, "unexpected argument 'extra'"},
           {{"refresh", "--to", "tcpip:h", "--amplitude", "30"}, "--amplitude needs a number from -136 to 20"},
           {{"refresh", "--to", "tcpip:h", "--title", "a b"}, "--title needs 1 to 20"},
           {{"refresh", "--to", "tcpip:h", "--set", "Channel=15"}, "Channel"}}) {
    const CliResult r = runCli(c.args);
    EXPECT_EQ(r.exitStatus, 2) << c.args.back() << ": " << r.err;
    EXPECT_NE(r.err.find(c.mention), std::string::npos) << r.err;
  }
}

// A waveform named "dot11b" in the instrument, put there through the library.
void storeWaveform(const SimProcess& sim) {
  ASSERT_EQ(Dot11b_c_libInitialize(), 1);
  const Handle config = tcpConfiguration(sim.port());
  const TestWaveform w = pseudoRandomWaveform(10);
  const Handle data = complexRow(w.i, w.q), markers = matrix(0, 0, {}), norm = text("norm"), one = scalar(1),
               name = text("dot11b");
  EXPECT_EQ(call2("HwDownload", {&config, &data, &markers, &norm, &one, &name}).status, 0);
  Dot11b_c_libTerminate();
}

TEST_F(CliLink, RefreshSendsTheSettingsOfItsOptions) {
  SimProcess sim({"--port", "0"});
  ASSERT_TRUE(sim.started());
  storeWaveform(sim);
  const std::size_t before = sim.logLines(3).size();
  const CliResult r = runCli({"refresh", "--to", tcpUri(sim), "--set", "Channel=6", "--set", "OverSampling=8",
                              "--amplitude", "-20.5", "--platform", "b", "--recon-filter", "2"});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  const Lines all = sim.logLinesUntil(":SYSTem:LOCal");
  const Lines sent = withoutErrorQueries(Lines(all.begin() + static_cast<long>(before), all.end()));
  ASSERT_EQ(sent.size(), 12u);
  EXPECT_EQ(sent[2], " :source:freq:fix 2437000000Hz");
  EXPECT_EQ(sent[3], " :source:power:level:immediate:amplitude -20.5dbm");
  EXPECT_EQ(sent[4], " :source:rad:arb:clock:srate 88000000Hz");
  EXPECT_EQ(sent[5], " :source:rad:arb:rfilter 2.5Mhz");
}

TEST_F(CliLink, RefreshFailsWhenTheInstrumentRefusesACommand) {
  SimProcess sim({"--port", "0"});
  ASSERT_TRUE(sim.started());
  // Nothing was downloaded: the instrument has no waveform of that name.
  const CliResult r = runCli({"refresh", "--to", tcpUri(sim)});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.err, "dot11b refresh: The instrument did not take the command ' :source:rad:arb:wav \"arbi:dot11b\" ': "
                   "-256,\"File name not found\"\n");
  EXPECT_EQ(withoutErrorQueries(sim.logLinesUntil(":SYSTem:LOCal")).size(), 16u) << "every command was still sent";
}

}  // namespace
}  // namespace instrument_test
