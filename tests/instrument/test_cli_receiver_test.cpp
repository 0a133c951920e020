// SPDX-License-Identifier: GPL-3.0-or-later
// dot11b download --test against the simulator: the receiver test's composite and the amplitude that puts
// its wanted frames at the test level.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "cli_runner.h"
#include "scoped_env.h"
#include "sim_process.h"

namespace instrument_test {
namespace {

class CliReceiverTest : public ::testing::Test {
 protected:
  ScopedEnv timeout_{"DOT11B_INSTRIO_TIMEOUT_MS", "5000"};
};

bool logHolds(const std::vector<std::string>& log, const std::string& line) {
  return std::find(log.begin(), log.end(), line) != log.end();
}

TEST_F(CliReceiverTest, TheSimulatorReceivesTheCompositeItsRateAndTheAmplitudeOfTheTestLevel) {
  SimProcess sim({"--port", "0"});
  ASSERT_TRUE(sim.started());
  const CliResult r = runCli({"download", "--to", "tcpip:127.0.0.1:" + std::to_string(sim.port()), "--test",
                              "adjacent-channel", "--frames", "1", "--level", "-65", "--title", "acr"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  std::smatch found;
  ASSERT_TRUE(std::regex_search(r.out, found, std::regex("Signal generator amplitude: (-[0-9]+\\.[0-9]+) dBm puts the "
                                                         "wanted signal at -65 dBm")))
      << r.out;
  EXPECT_NE(r.out.find("-30 dBm (35 dB above the wanted)"), std::string::npos) << r.out;
  // Trailing zeros of the hundredths are not sent.
  std::string amplitude = found[1];
  while (amplitude.back() == '0') amplitude.pop_back();
  if (amplitude.back() == '.') amplitude.pop_back();
  const auto log = withoutErrorQueries(sim.logLinesUntil(":SYSTem:LOCal"));
  EXPECT_TRUE(logHolds(log, " :source:power:level:immediate:amplitude " + amplitude + "dbm")) << amplitude;
  EXPECT_TRUE(logHolds(log, " :source:rad:arb:clock:srate 99000000Hz"));
  EXPECT_FALSE(sim.stored("ARBI", "acr").empty());
}

TEST_F(CliReceiverTest, AnAmplitudeBeyondTheGeneratorIsSetToItsEndWithAWarning) {
  SimProcess sim({"--port", "0"});
  ASSERT_TRUE(sim.started());
  const CliResult r = runCli({"download", "--to", "tcpip:127.0.0.1:" + std::to_string(sim.port()), "--test",
                              "adjacent-channel", "--frames", "1", "--level", "-10"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_NE(r.out.find("warning: the amplitude is set to 20 dBm"), std::string::npos) << r.out;
  const auto log = withoutErrorQueries(sim.logLinesUntil(":SYSTem:LOCal"));
  EXPECT_TRUE(logHolds(log, " :source:power:level:immediate:amplitude 20dbm"));
}

TEST_F(CliReceiverTest, ATestTheGeneratorsClockCannotPlayIsRefusedBeforeConnecting) {
  const CliResult r =
      runCli({"download", "--to", "tcpip:127.0.0.1:1", "--test", "adjacent-channel", "--rate-mbps", "2"});
  EXPECT_EQ(r.exitStatus, 2);
  EXPECT_NE(r.err.find("takes 110 MHz, above the signal generator's sample clock of 100 MHz"), std::string::npos)
      << r.err;
}

}  // namespace
}  // namespace instrument_test
