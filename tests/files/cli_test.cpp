// SPDX-License-Identifier: GPL-3.0-or-later
// dot11b generate, dot11b params and the file routines through "dot11b call", run as a user runs them.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <regex>

#include "runtime/matfile/matfile.h"
#include "settings/start_values.h"
#include "test_support.h"

namespace dot11b::test {
namespace {

const std::size_t kStartSamples = static_cast<std::size_t>(settings::initialParameters().field("ProjectedLength").scalarValue());

class Cli : public ::testing::Test {
 protected:
  // Runs the tool in the scratch folder.
  CommandResult dot11b(const std::string& args) {
    std::string line = "cd ";
    line += shellQuoted(dir.path().string()) + " && " + shellQuoted(DOT11B_CLI) + " " + args;
    return runCommand(line);
  }
  std::size_t sizeOf(const std::string& name) { return std::filesystem::file_size(dir / name); }

  ScratchDir dir;
};

TEST_F(Cli, GenerateWritesComplexDoublesAndMarkers) {
  const CommandResult r = dot11b("generate --out f.cf64 --markers f.markers");
  ASSERT_EQ(r.status, 0) << r.output;
  std::string expected = std::to_string(kStartSamples);
  expected += " samples, 11 Mbit/s CCK, 44 MHz sampling rate, calculated in [0-9.]+ ms\n";
  EXPECT_TRUE(std::regex_match(r.output, std::regex(expected))) << r.output;
  EXPECT_EQ(sizeOf("f.cf64"), 16 * kStartSamples);
  const std::string markers = readBytes(dir / "f.markers");
  ASSERT_EQ(markers.size(), 2 * kStartSamples);
  for (std::size_t k = 0; k < kStartSamples; ++k) {
    ASSERT_LE(markers[k], 1);
    ASSERT_LE(markers[k], markers[kStartSamples + k]) << "marker 1 set outside the frame at " << k;
  }
}

TEST_F(Cli, FormatsHoldTheSameSamples) {
  ASSERT_EQ(dot11b("generate --set dataLength=40 --out f.cf64").status, 0);
  ASSERT_EQ(dot11b("generate --set dataLength=40 --out w.mat").status, 0);
  ASSERT_EQ(dot11b("generate --set dataLength=40 --out c.bin --format complex-mat").status, 0);
  ASSERT_EQ(dot11b("generate --set dataLength=40 --out a.bin --format ascii").status, 0);
  const std::string raw = readBytes(dir / "f.cf64");
  const std::size_t n = raw.size() / 16;
  std::vector<double> re(n), im(n);
  for (std::size_t k = 0; k < n; ++k) {
    std::memcpy(&re[k], raw.data() + 16 * k, 8);
    std::memcpy(&im[k], raw.data() + 16 * k + 8, 8);
  }
  std::vector<double> iq = re;
  iq.insert(iq.end(), im.begin(), im.end());
  const rt::MatVariables wave = rt::readMatFile(dir / "w.mat");
  EXPECT_EQ(wave.at(0).second, rt::Value::scalar(static_cast<double>(n)));
  EXPECT_EQ(wave.at(1).second, rt::Value::scalar(44e6));
  EXPECT_EQ(wave.at(2).second, rt::Value::matrix(n, 2, iq));
  EXPECT_EQ(rt::readMatFile(dir / "a.bin").at(0).second, rt::Value::matrix(n, 2, iq));
  EXPECT_EQ(rt::readMatFile(dir / "c.bin").at(0).second, rt::Value::matrix(n, 1, re, im));
}

TEST_F(Cli, GenerateWritesTheSixteenBitFileAtFullScale) {
  ASSERT_EQ(dot11b("generate --out f.iq16").status, 0);
  const std::string bytes = readBytes(dir / "f.iq16");
  ASSERT_EQ(bytes.size(), 4 * kStartSamples);
  int largest = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto code = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i]) << 8 | static_cast<unsigned char>(bytes[i + 1]));
    largest = std::max(largest, std::abs(static_cast<int>(code)));
  }
  EXPECT_EQ(largest, 32766);
}

TEST_F(Cli, GenerateWritesSamplesToStandardOutputForAPipe) {
  // The command's own stderr stays out of the pipe.
  const auto piped = [this](const std::string& args, const std::string& file) {
    return runCommand("cd " + shellQuoted(dir.path().string()) + " && { " + shellQuoted(DOT11B_CLI) + " generate " + args +
                      " > " + file + " 2>/dev/null; }").status;
  };
  ASSERT_EQ(dot11b("generate --out f.cf64").status, 0);
  ASSERT_EQ(piped("--out -", "piped.cf64"), 0);
  EXPECT_TRUE(readBytes(dir / "piped.cf64") == readBytes(dir / "f.cf64"));
  ASSERT_EQ(dot11b("generate --out f.iq16").status, 0);
  ASSERT_EQ(piped("--out - --format iq16", "piped.iq16"), 0);
  EXPECT_TRUE(readBytes(dir / "piped.iq16") == readBytes(dir / "f.iq16"));
  ASSERT_EQ(dot11b("generate --out f.cs8").status, 0);
  ASSERT_EQ(piped("--out - --format cs8", "piped.cs8"), 0);
  EXPECT_TRUE(readBytes(dir / "piped.cs8") == readBytes(dir / "f.cs8"));
  const CommandResult mat = dot11b("generate --out - --format mat");
  EXPECT_EQ(mat.status, 2);
  EXPECT_NE(mat.output.find("--out - takes the cf64, iq16, cs8, cs16 or cf32 format only"), std::string::npos) << mat.output;
}

// The integer formats put the frame's peak 1 dB below full scale unless --backoff says otherwise (the
// clipping of a negative backoff is tested in tests/python/test_sdr_files.py).
TEST_F(Cli, GenerateScalesTheSdrFormatsToFullScaleLessTheBackoff) {
  const auto largest = [this](const std::string& name, int width) {
    const std::string bytes = readBytes(dir / name);
    int peak = 0;
    for (std::size_t i = 0; i + width <= bytes.size(); i += width) {
      const int value = width == 1 ? static_cast<std::int8_t>(bytes[i])
                                   : static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
      peak = std::max(peak, std::abs(value));
    }
    return peak;
  };
  struct Case {
    const char* args;
    const char* file;
    int width;
    int peak;  // round(full scale x 10^(-backoff/20))
  };
  for (const Case& c : {Case{"--out f.cs8", "f.cs8", 1, 113}, Case{"--out f.cs16", "f.cs16", 2, 29204},
                        Case{"--out f.cs16 --backoff 0", "f.cs16", 2, 32767},
                        Case{"--out f.cs8 --backoff 10", "f.cs8", 1, 40},
                        Case{"--out r.sigmf --sigmf-type ci16_le --backoff 6", "r.sigmf-data", 2, 16422}}) {
    const CommandResult r = dot11b("generate " + std::string(c.args));
    ASSERT_EQ(r.status, 0) << c.args << "\n" << r.output;
    EXPECT_EQ(largest(c.file, c.width), c.peak) << c.args;
  }
  EXPECT_EQ(sizeOf("f.cs8"), 2 * kStartSamples);
  EXPECT_EQ(nlohmann::json::parse(readBytes(dir / "r.sigmf-meta"))["global"]["core:datatype"], "ci16_le");
}

TEST_F(Cli, GenerateWritesASigmfRecording) {
  const CommandResult r = dot11b("generate --set Channel=6 --set preambleType=1 --out rec.sigmf");
  ASSERT_EQ(r.status, 0) << r.output;
  const auto meta = nlohmann::json::parse(readBytes(dir / "rec.sigmf-meta"));
  const std::size_t n = sizeOf("rec.sigmf-data") / 8;
  EXPECT_EQ(meta["global"]["core:datatype"], "cf32_le");
  EXPECT_EQ(meta["global"]["core:sample_rate"], 44e6);
  EXPECT_EQ(meta["global"]["core:version"], "1.2.0");
  EXPECT_EQ(meta["captures"][0]["core:frequency"], 2437e6);
  const auto& frame = meta["annotations"][0];
  EXPECT_EQ(frame["core:label"], "11 Mbit/s CCK, short preamble");
  EXPECT_GT(frame["core:sample_count"].get<std::size_t>(), 0u);
  EXPECT_LT(frame["core:sample_start"].get<std::size_t>() + frame["core:sample_count"].get<std::size_t>(), n + 1);
  EXPECT_LT(frame["core:sample_count"].get<std::size_t>(), n);  // the idle interval is outside the frame
}

TEST_F(Cli, ParamsSaveShowAndGenerateFromTheFile) {
  ASSERT_EQ(dot11b("params save set1 --set dataRate=2 --set MACheader.Active=1 "
                   "--set MACheader.Contents.Address1.Contents=0x1234").status, 0);
  ASSERT_TRUE(std::filesystem::exists(dir / "set1.mat"));
  const CommandResult shown = dot11b("params show set1.mat");
  ASSERT_EQ(shown.status, 0) << shown.output;
  EXPECT_NE(shown.output.find("\ndataRate = 2\n"), std::string::npos);
  EXPECT_NE(shown.output.find("\nMACheader.Contents.Address1.Contents = 4660\n"), std::string::npos);
  EXPECT_NE(shown.output.find("\ntotalLength = 1054\n"), std::string::npos);

  const CommandResult estimate = dot11b("estimate --set dataRate=2 --set MACheader.Active=1 --set dataLength=10");
  const CommandResult r = dot11b("generate --params set1 --set dataLength=10 --out g.cf64");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("2 Mbit/s DQPSK"), std::string::npos);
  EXPECT_EQ(std::to_string(sizeOf("g.cf64") / 16) + "\n", estimate.output);
}

TEST_F(Cli, DamagedParameterFileIsRefused) {
  rt::Value damaged = settings::initialParameters();
  damaged.setField("dataLength", rt::Value::text("many"));
  rt::writeMatFile(dir / "bad.mat", {{"fileParameters", damaged}});
  for (const char* command : {"generate --params bad.mat --out x.cf64", "params show bad"}) {
    const CommandResult r = dot11b(command);
    EXPECT_EQ(r.status, 1) << command;
    EXPECT_NE(r.output.find("bad.mat has an Invalid File Structure."), std::string::npos) << r.output;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "x.cf64"));
  EXPECT_NE(dot11b("params show missing").output.find("Unable to read file 'missing.mat'"), std::string::npos);

  // A value outside its range is brought in, and the tool says so.
  rt::Value other = settings::initialParameters();
  other.setField("dataLength", rt::Value::scalar(1e12));
  rt::writeMatFile(dir / "other.mat", {{"fileParameters", other}});
  const CommandResult opened = dot11b("params show other");
  EXPECT_EQ(opened.status, 0) << opened.output;
  EXPECT_NE(opened.output.find("dot11b: other.mat\nheld values outside their allowed ranges. These fields were "
                               "changed:\ndataLength: 1000000000000 changed to 2312"),
            std::string::npos)
      << opened.output;
}

// Every command ends with status 2 for an unknown option or a value it cannot take, before it writes or
// connects to anything (port 1 of this host would refuse, with status 1).
TEST_F(Cli, BadOptionsAreUsageErrorsInEveryCommand) {
  const char* const commands[] = {
      "gui --bogus",
      "estimate --bogus", "estimate --frames abc", "estimate --set dataRate=3",
      "call", "call --bogus", "call --nargout", "call --nargout 1.5 Dot11b_SizeEst", "call BitVector '[1'",
      "generate", "generate --out f.xyz", "generate --out f.cf64 --format wav", "generate --out f.cf64 --set dataLength=5000",
      "generate --out f.cf64 --set noSuchField=1", "generate --out f.cf64 extra", "generate --out",
      "generate --out f.cf64 --snr abc", "generate --out f.cs8 --backoff abc", "generate --out f.cf64 --backoff 1",
      "generate --out f.sigmf --backoff 1", "generate --out f.sigmf --sigmf-type ci12", "generate --out f.cs8 --sigmf-type ci8",
      "plot bode --png x.png", "plot ccdf", "plot ccdf --png x.png --size 10x10", "plot eye --png x.png --symbols abc",
      "plot eye --png x.png --delay abc", "plot scatter --png x.png --trace abc", "plot ccdf --png x.png --bogus",
      "verify", "verify x.cf64 --rate abc", "verify x.cf64 --bogus",
      "per", "per --snr abc", "per --snr 0:1:1 --rates 3", "per --snr 0:1:1 --bogus",
      "params", "params save", "params show", "params save a b", "params save a --set dataRate=3",
      "ping", "ping --to bogus:1", "ping --to tcpip:127.0.0.1:1 --bogus", "ping --to tcpip:127.0.0.1:99999",
      "ping --to 'tcpip:[::1]:0'",
      "download --to tcpip:127.0.0.1:1 --bogus", "download --to tcpip:127.0.0.1:1 --frequency abc",
      "download --to tcpip:127.0.0.1:1 --platform z",
      "refresh", "refresh --to tcpip:127.0.0.1:1 --alc 2", "refresh --to tcpip:127.0.0.1:1 --platform z",
  };
  for (const char* command : commands) {
    const CommandResult r = dot11b(command);
    EXPECT_EQ(r.status, 2) << command << "\n" << r.output;
  }
  EXPECT_EQ(dir.entryCount(), 0u);
}

TEST_F(Cli, SaveFlarevaneWaveformThroughTheCallingForms) {
  EXPECT_EQ(dot11b("call SaveFlarevaneWaveform '[1+1i -1-0.5i]'").output, "1\n");
  EXPECT_EQ(readBytes(dir / "ZEL-C"), std::string("\x7F\xFE\x7F\xFE\x80\x02\xC0\x01", 8));
  EXPECT_EQ(dot11b("call SaveFlarevaneWaveform '[1+1i; -1-0.5i]' \"'col'\"").output, "1\n");
  EXPECT_EQ(readBytes(dir / "col"), readBytes(dir / "ZEL-C"));
  EXPECT_EQ(dot11b("call SaveFlarevaneWaveform '[1 0.25-1i]' \"'half'\" 0.5").output, "1\n");
  EXPECT_EQ(readBytes(dir / "half"), std::string("\x3F\xFF\x00\x00\x10\x00\xC0\x01", 8));
  EXPECT_EQ(dot11b("call SaveFlarevaneWaveform").output, "0\n");
  EXPECT_EQ(dot11b("call SaveFlarevaneWaveform 1 \"'four'\" 1 1").output, "0\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "four"));
  EXPECT_EQ(dot11b("call SaveFlarevaneWaveform 1 \"'/nonexistent-folder/x'\"").output, "0\n");
  const CommandResult arity = dot11b("call --nargout 2 SaveFlarevaneWaveform 1");
  EXPECT_EQ(arity.status, 1);
  EXPECT_NE(arity.output.find("File: saveFlarevaneWaveform Line: 1 Column: 1 The function \"saveFlarevaneWaveform\" "
                              "was called with more than the declared number of outputs (1)."),
            std::string::npos)
      << arity.output;
}

TEST_F(Cli, CompareStructThroughTheCallingForms) {
  EXPECT_EQ(dot11b("call CompareStruct 1 1").output, "0\n");
  EXPECT_EQ(dot11b("call --nargout 1 RfCommonUI \"'addFileExtention'\" \"'ab'\" \"'.mat'\"").output, "'ab.mat'\n");
}

}  // namespace
}  // namespace dot11b::test
