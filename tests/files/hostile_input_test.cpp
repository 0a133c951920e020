// SPDX-License-Identifier: GPL-3.0-or-later
// Numbers and texts a careless or hostile user gives the tool: each refused at once, with exit status 2 and
// a message that names the value and what is allowed, within a memory limit the work itself would exceed.
#include <gtest/gtest.h>

#include <chrono>
#include <nlohmann/json.hpp>

#include "runtime/matfile/matfile.h"
#include "test_support.h"

namespace dot11b::test {
namespace {

class HostileInput : public ::testing::Test {
 protected:
  // Runs the tool in the scratch folder, its memory limited to 500 MB.
  CommandResult dot11b(const std::string& args) {
    return runCommand("cd " + shellQuoted(dir.path().string()) + " && ulimit -v 500000 && " + shellQuoted(DOT11B_CLI) +
                      " " + args);
  }
  // A refusal: exit status 2 within a second, the message holding `says`.
  void expectRefused(const std::string& args, const std::string& says) {
    const auto started = std::chrono::steady_clock::now();
    const CommandResult r = dot11b(args);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(r.status, 2) << args << "\n" << r.output;
    EXPECT_NE(r.output.find(says), std::string::npos) << args << "\n" << r.output;
    EXPECT_LT(took, std::chrono::seconds(1)) << args;
    for (const char* internal : {"bad_alloc", "json.exception", "_M_", "Saveflarevane"})
      EXPECT_EQ(r.output.find(internal), std::string::npos) << args << "\n" << r.output;
  }
  // A SigMF recording of a frame whose metadata's global and first capture get `global` and `capture`.
  void sigmfWith(const nlohmann::json& global, const nlohmann::json& capture = nlohmann::json::object()) {
    ASSERT_EQ(dot11b("generate --set dataLength=10 --out r.sigmf").status, 0);
    nlohmann::json meta = nlohmann::json::parse(readBytes(dir / "r.sigmf-meta"));
    meta["global"].update(global);
    meta["captures"][0].update(capture);
    writeBytes(dir / "r.sigmf-meta", meta.dump());
  }

  ScratchDir dir;
};

// A mistyped rate (20 for 20e6) or an absurd one would have the resampler grow without bound.
TEST_F(HostileInput, SampleRatesOutsideTheReceiversRangeAreRefused) {
  ASSERT_EQ(dot11b("generate --set dataLength=10 --out x.cf32").status, 0);
  const std::string range = "outside the receiver's range of 1 MHz to 1 GHz";
  for (const std::string rate : {"1e300", "20", "1", "1e3", "1e15", "5e-324"})
    expectRefused("verify x.cf32 --rate " + rate, "--rate ");
  expectRefused("verify x.cf32 --rate 20", "--rate 20 Hz is " + range);
  for (const double rate : {1e300, 1e-300, 20.0, 1000.0}) {
    sigmfWith({{"core:sample_rate", rate}});
    expectRefused("verify r.sigmf-meta", "core:sample_rate");
    expectRefused("verify r.sigmf-meta", range);
  }
  const rt::Value iq = rt::Value::matrix(2, 2, {1, 0, 0, 1});
  rt::writeMatFile(dir / "w.mat", {{"wave", iq}, {"sampleRate", rt::Value::scalar(1e300)}});
  expectRefused("verify w.mat", "sampleRate 1e+300 Hz is " + range);
}

TEST_F(HostileInput, FieldsOfARecordingAreChecked) {
  sigmfWith(nlohmann::json::object(), {{"core:frequency", -2.412e9}});
  expectRefused("verify r.sigmf-meta", "core:frequency -2412000000 Hz must be a finite number greater than 0");
  writeBytes(dir / "r.sigmf-meta", "{\"global\": [1, 2");
  expectRefused("verify r.sigmf-meta", "it is not JSON");
  sigmfWith(nlohmann::json::object());
  std::filesystem::remove(dir / "r.sigmf-data");
  std::filesystem::create_directory(dir / "r.sigmf-data");
  expectRefused("verify r.sigmf-meta", "it is a folder");
}

// An absurd SNR made samples of +Inf, a backoff of 400 dB samples of zero; both ended with status 0.
TEST_F(HostileInput, ImpairmentsAndBackoffHaveBounds) {
  expectRefused("generate --out x.cf32 --snr -1e300", "--snr -1e+300 dB is outside -50 to 100 dB");
  expectRefused("generate --out x.cf64 --snr 101", "--snr 101 dB is outside -50 to 100 dB");
  expectRefused("generate --out x.cs8 --backoff 400", "--backoff 400 dB is outside -20 to 11.97 dB");
  expectRefused("generate --out x.cs8 --backoff -1e300", "--backoff -1e+300 dB is outside");
  expectRefused("generate --out x.cs16 --backoff 61", "-20 to 60.2 dB (at least 6 bits of the format)");
  EXPECT_EQ(dot11b("generate --set dataLength=10 --out x.cs16 --backoff 60").status, 0);
  EXPECT_EQ(dot11b("generate --set dataLength=10 --out x.cf32 --snr 100 --seed 3").status, 0);
}

TEST_F(HostileInput, EmptyAndLongValuesAreBadOptions) {
  for (const char* option : {"--frames", "--snr", "--seed", "--backoff"})
    expectRefused("generate --out x.cs8 " + std::string(option) + " ''", std::string(option) + " needs a value");
  expectRefused("download --to tcpip:127.0.0.1:1 --platform ''", "--platform needs a value");
  expectRefused("ping --to 'tcpip:[::1'", "tcpip");
  const CommandResult mistyped = dot11b("estimate --set dataRate=fast");
  EXPECT_EQ(mistyped.status, 2);
  EXPECT_NE(mistyped.output.find("dataRate: 'fast' is not a number; allowed: one of 1 2 5.5 11"), std::string::npos)
      << mistyped.output;
  const CommandResult longValue = dot11b("estimate --set dataLength=" + std::string(100000, '7') + "x");
  EXPECT_EQ(longValue.status, 2);
  EXPECT_LT(longValue.output.size(), 400u) << "the value is not repeated whole";
  EXPECT_NE(longValue.output.find("(100001 characters)"), std::string::npos) << longValue.output;
}

// 2048 frames projected at 16384 samples each fit the limit; as made they are 4 samples longer.
TEST_F(HostileInput, TheSequenceLimitHoldsForTheSamplesMade) {
  const std::string frames =
      "--set OverSampling=5 --set dataRate=11 --set dataLength=0 --set idleSamples=5648 --frames 2048";
  EXPECT_EQ(dot11b("estimate " + frames).status, 0);
  const CommandResult r = runCommand("cd " + shellQuoted(dir.path().string()) + " && " + shellQuoted(DOT11B_CLI) +
                                     " generate --out x.cs8 " + frames);
  EXPECT_EQ(r.status, 2) << r.output;
  EXPECT_NE(r.output.find("more than the 33554432 (32 Msamples) a waveform may hold"), std::string::npos) << r.output;
  EXPECT_FALSE(std::filesystem::exists(dir / "x.cs8"));
}

}  // namespace
}  // namespace dot11b::test
