// SPDX-License-Identifier: GPL-3.0-or-later
// dot11b compose as a user runs it: the amplitude it prints against the samples it writes, the receiver
// test's plan in the MAT-file and SigMF, and bad input.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <nlohmann/json.hpp>
#include <regex>

#include "runtime/matfile/matfile.h"
#include "test_support.h"

namespace dot11b::test {
namespace {

class Compose : public ::testing::Test {
 protected:
  CommandResult dot11b(const std::string& args) {
    return runCommand("cd " + shellQuoted(dir.path().string()) + " && " + shellQuoted(DOT11B_CLI) + " " + args);
  }
  ScratchDir dir;
};

const rt::Value& variable(const rt::MatVariables& variables, const std::string& name) {
  for (const auto& [n, v] : variables)
    if (n == name) return v;
  throw std::runtime_error("no variable " + name);
}

TEST_F(Compose, ThePrintedAmplitudePutsTheWantedFramesAtTheTestLevel) {
  const CommandResult r = dot11b("compose --test sensitivity --frames 3 --out s.cf64 --markers s.markers");
  ASSERT_EQ(r.status, 0) << r.output;
  std::smatch found;
  ASSERT_TRUE(std::regex_search(r.output, found, std::regex("Signal generator amplitude: (-?[0-9.]+) dBm puts the "
                                                             "wanted signal at -76 dBm")))
      << r.output;
  const double amplitude = std::stod(found[1]);
  const std::string raw = readBytes(dir / "s.cf64"), markers = readBytes(dir / "s.markers");
  const std::size_t n = raw.size() / 16;
  ASSERT_EQ(markers.size(), 2 * n);
  double all = 0, frames = 0;
  std::size_t count = 0;
  for (std::size_t k = 0; k < n; ++k) {
    double iq[2];
    std::memcpy(iq, raw.data() + 16 * k, 16);
    const double power = iq[0] * iq[0] + iq[1] * iq[1];
    all += power;
    if (markers[n + k]) {
      frames += power;
      ++count;
    }
  }
  // The generator puts the whole waveform's mean power at the amplitude.
  const double milliwattsPerUnit = std::pow(10, amplitude / 10) / (all / static_cast<double>(n));
  EXPECT_NEAR(10 * std::log10(milliwattsPerUnit * frames / static_cast<double>(count)), -76, 0.01);
  EXPECT_NE(r.output.find("IEEE 802.11b-1999 18.4.8.1"), std::string::npos) << r.output;

  // The start values' payload is all zeros: an interferer of them carries the same data, and is told so.
  const CommandResult same = dot11b("compose --out z.cf32 --interferer '' --offset 25e6");
  ASSERT_EQ(same.status, 0) << same.output;
  EXPECT_NE(same.output.find("warning: interferer 1 carries the wanted frames' data"), std::string::npos) << same.output;
  const CommandResult own = dot11b("compose --out z.cf32 --set dataSourceType=5 --interferer '--set dataSourceType=5'");
  EXPECT_EQ(own.output.find("warning"), std::string::npos) << own.output;
}

TEST_F(Compose, TheAdjacentChannelPlanGoesIntoTheMatFileAndSigmf) {
  const CommandResult mat = dot11b("compose --test adjacent-channel --frames 2 --out a.mat");
  ASSERT_EQ(mat.status, 0) << mat.output;
  const rt::MatVariables v = rt::readMatFile(dir / "a.mat");
  EXPECT_EQ(variable(v, "sampleRate"), rt::Value::scalar(99e6));
  const rt::Value& plan = variable(v, "receiverTest");
  EXPECT_EQ(plan.field("test"), rt::Value::text("adjacent-channel"));
  EXPECT_EQ(plan.field("wantedLevelDbm"), rt::Value::scalar(-70));
  EXPECT_EQ(plan.field("interfererLevelDbm"), rt::Value::scalar(-35));
  EXPECT_EQ(plan.field("channelSpacingHz"), rt::Value::scalar(25e6));
  EXPECT_EQ(variable(v, "signals").field("offsetHz"), rt::Value::row({0, 25e6}));
  EXPECT_EQ(variable(v, "signals").field("levelDb"), rt::Value::row({0, 35}));

  const CommandResult sigmf = dot11b("compose --test adjacent-channel --frames 2 --level -60 --out a.sigmf");
  ASSERT_EQ(sigmf.status, 0) << sigmf.output;
  std::ifstream metaFile(dir / "a.sigmf-meta");
  const auto meta = nlohmann::json::parse(metaFile);
  EXPECT_EQ(meta["global"]["dot11b:receiver_test"]["wanted_level_dbm"], -60.0);
  EXPECT_EQ(meta["global"]["dot11b:receiver_test"]["interferer_level_dbm"], -25.0);
  ASSERT_EQ(meta["global"]["dot11b:signals"].size(), 2u);
  EXPECT_EQ(meta["global"]["dot11b:signals"][1]["offset_hz"], 25e6);
  ASSERT_EQ(meta["annotations"].size(), 2u);
  EXPECT_EQ(meta["annotations"][0]["core:freq_upper_edge"], 2412e6 + 11e6);
  EXPECT_EQ(meta["annotations"][1]["core:freq_lower_edge"], 2412e6 + 14e6);
  EXPECT_EQ(meta["annotations"][1]["core:label"].get<std::string>().rfind("interferer 1: ", 0), 0u);
}

TEST_F(Compose, BadInputIsRefusedWithStatusTwoAndItsReason) {
  const struct {
    const char* args;
    const char* message;
  } cases[] = {
      {"--interferer '' --offset 80e6", "interferer 1 at 80 MHz needs a sample rate of 231 MHz"},
      {"--interferer '' --level 90", "level 90 dB is outside -80 to 80 dB"},
      {"--interferer '--set dataRate=3'", "--interferer 1: "},
      {"--interferer '--frames 2 --bogus'", "--interferer 1: unexpected argument '--bogus'"},
      {"--offset 1e6", "--offset belongs to an --interferer given before it"},
      {"--cw 1e6", "--cw must be HZ,DB"},
      {"--interferer '' --offset 30e6 --rate 44e6", "does not hold interferer 1 at 30 MHz"},
      {"--set dataLength=2312 --set OverSampling=2 --frames 3000 --interferer '' --offset 25e6", "32 Msamples"},
      {"--test loopback", "--test must be sensitivity, max-input, adjacent-channel or cca"},
      {"--test sensitivity --channel-spacing 30e6", "applies to the adjacent-channel test only"},
      {"--test adjacent-channel --interferer ''", "unexpected argument '--interferer'"},
  };
  for (const auto& c : cases) {
    const CommandResult r = dot11b(std::string("compose --out x.cf64 ") + c.args);
    EXPECT_EQ(r.status, 2) << c.args << ": " << r.output;
    EXPECT_NE(r.output.find(c.message), std::string::npos) << c.args << ": " << r.output;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "x.cf64"));
}

TEST_F(Compose, PerCountsTheWantedFramesPastAnInterfererAndFindsTheRejection) {
  const std::string frames = "per --rates 11 --snr 20:20:1 --frames 4 --psdu 100 --interferer '' --offset 25e6 ";
  const CommandResult weak = dot11b(frames + "--level 20");
  ASSERT_EQ(weak.status, 0) << weak.output;
  EXPECT_NE(weak.output.find("    20.0      0.0000"), std::string::npos) << weak.output;
  const CommandResult strong = dot11b(frames + "--level 75");
  ASSERT_EQ(strong.status, 0) << strong.output;
  EXPECT_NE(strong.output.find("    20.0      1.0000"), std::string::npos) << strong.output;

  const CommandResult rejection = dot11b("per --test adjacent-channel --frames 4 --snr 20 --levels 20:70:50");
  ASSERT_EQ(rejection.status, 0) << rejection.output;
  EXPECT_TRUE(std::regex_search(rejection.output, std::regex("Adjacent channel rejection of the built-in receiver at 8 % "
                                                             "PER, 11 Mbit/s: [2-6][0-9]\\.[0-9] dB")))
      << rejection.output;

  EXPECT_EQ(dot11b("per --snr 0:1:1 --cw 1e6,0").status, 2);
  EXPECT_EQ(dot11b("per --test sensitivity").status, 2);
  EXPECT_EQ(dot11b("per --test adjacent-channel --levels 60:20:1").status, 2);
}

}  // namespace
}  // namespace dot11b::test
