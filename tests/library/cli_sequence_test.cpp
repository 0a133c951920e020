// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's frame sequences, templates, impairments and packet-error-rate runs, checked by the
// receiver of 'dot11b verify'.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>

#include "support/run_command.h"

namespace {

using dot11b::testing::CommandResult;

CommandResult run(const std::string& args) { return dot11b::testing::runCommand(std::string(DOT11B_CLI) + " " + args); }

std::string folderOf(const char* name) {
  const std::string folder = ::testing::TempDir() + "/" + name;
  std::filesystem::create_directories(folder);
  return folder;
}

std::string contents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

TEST(CliSequence, ThreeBeaconsDecodeWithTheirSsidRatesAndCountingSequenceNumbers) {
  const std::string folder = folderOf("beacons");
  const CommandResult made = run("generate --frames 3 --template beacon --ssid dot11b-test --bssid 02:11:22:33:44:55 "
                                 "--set OverSampling=2 --out " + folder + "/b.cf64");
  ASSERT_EQ(made.status, 0) << made.output;
  ASSERT_EQ(run("verify " + folder + "/b.cf64 --rate 22e6 --expect-fcs --json > " + folder + "/b.json").status, 0);
  const auto report = nlohmann::json::parse(contents(folder + "/b.json"));
  ASSERT_EQ(report["frames"].size(), 3u);
  for (int k = 0; k < 3; ++k) {
    const auto& frame = report["frames"][k];
    EXPECT_TRUE(frame["fcs_ok"].get<bool>()) << k;
    const auto& mac = frame["mac"];
    EXPECT_EQ(mac["sequence_number"], k);
    EXPECT_EQ(mac["type"], 0);
    EXPECT_EQ(mac["subtype"], 8);
    EXPECT_EQ(mac["addresses"][0], "ff:ff:ff:ff:ff:ff");
    EXPECT_EQ(mac["addresses"][2], "02:11:22:33:44:55");
    EXPECT_EQ(mac["ssid"], "dot11b-test");
    EXPECT_EQ(mac["rates_mbps"], (std::vector<double>{1, 2, 5.5, 11}));
    EXPECT_EQ(mac["channel"], 1);
  }
  EXPECT_NE(
      run("verify " + folder + "/b.cf64 --rate 22e6").output.find("SSID \"dot11b-test\", rates 1 2 5.5 11 Mbit/s"),
      std::string::npos);
  // The estimate covers the whole sequence.
  const CommandResult one = run("estimate --template beacon --ssid dot11b-test --set OverSampling=2");
  const CommandResult three = run("estimate --frames 3 --template beacon --ssid dot11b-test --set OverSampling=2");
  EXPECT_EQ(std::stod(three.output), 3 * std::stod(one.output));
  EXPECT_EQ(std::stod(three.output) * 16, static_cast<double>(std::filesystem::file_size(folder + "/b.cf64")));
}

TEST(CliSequence, ImpairmentsAreReproducibleFromTheirSeed) {
  const std::string folder = folderOf("impaired");
  const std::string frame =
      "generate --set dataLength=100 --snr 12 --cfo 20e3 --multipath 50 --iq-gain 0.5 --dc 0.01,0 ";
  ASSERT_EQ(run(frame + "--seed 7 --out " + folder + "/a.cf64").status, 0);
  ASSERT_EQ(run(frame + "--seed 7 --out " + folder + "/b.cf64").status, 0);
  ASSERT_EQ(run(frame + "--seed 8 --out " + folder + "/c.cf64").status, 0);
  EXPECT_EQ(contents(folder + "/a.cf64"), contents(folder + "/b.cf64"));
  EXPECT_NE(contents(folder + "/a.cf64"), contents(folder + "/c.cf64"));
  const CommandResult verified = run("verify " + folder + "/a.cf64 --rate 44e6");
  EXPECT_EQ(verified.status, 0) << verified.output;

  for (const char* bad : {"--snr x", "--dc 1", "--clock-ppm 5000", "--seed -1", "--frames 0", "--payload twice",
                          "--template beacon2", "--ssid lab", "--template data --ra 00:11", "--frames 70000"}) {
    const CommandResult refused = run(std::string("generate --out ") + folder + "/x.cf64 " + bad);
    EXPECT_EQ(refused.status, 2) << bad << "\n" << refused.output;
  }
  EXPECT_EQ(run("estimate --frames 50 --set dataRate=1 --set dataLength=2312").status, 2);  // over 32 Msamples
}

TEST(CliSequence, PerRunPrintsItsTableAndPlotsIt) {
  const std::string folder = folderOf("per");
  const CommandResult per = run("per --rates 2,11 --snr 14:20:6 --frames 4 --psdu 100 --set OverSampling=2 --png " +
                                folder + "/per.png --csv " + folder + "/per.csv");
  ASSERT_EQ(per.status, 0) << per.output;
  EXPECT_NE(
      per.output.find(
          "SNR (dB)    2 Mbit/s   11 Mbit/s\n    14.0      0.0000      0.0000\n    20.0      0.0000      0.0000\n"),
      std::string::npos)
      << per.output;
  EXPECT_NE(per.output.find("11 Mbit/s at 20 dB: 0 of 4 frames lost"), std::string::npos) << per.output;
  EXPECT_EQ(contents(folder + "/per.png").substr(1, 3), "PNG");
  const std::string table = contents(folder + "/per.csv");
  EXPECT_EQ(table.substr(0, table.find('\n')), "\"SNR (dB)\",\"PER 2 Mbit/s\",\"PER 11 Mbit/s\"");
  // At -10 dB nothing survives.
  EXPECT_NE(run("per --rates 11 --snr -10:-10:1 --frames 2 --psdu 100 --set OverSampling=2")
                .output.find("   -10.0      1.0000"),
            std::string::npos);
  for (const char* bad : {"--snr 1:0:1", "--snr 0:1:0", "--rates 3 --snr 0:1:1", "--snr 0:1:1 --psdu 20", ""}) {
    EXPECT_EQ(run(std::string("per ") + bad).status, 2) << bad;
  }
}

}  // namespace
