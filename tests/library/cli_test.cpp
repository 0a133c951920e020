// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/run_command.h"

namespace {

using dot11b::testing::CommandResult;

CommandResult run(const std::string& args) { return dot11b::testing::runCommand(std::string(DOT11B_CLI) + " " + args); }

}  // namespace

TEST(Cli, EstimateOfTheStartValuesAndEdgeCases) {
  EXPECT_EQ(run("estimate").output, "45792\n");
  const std::pair<const char*, const char*> cases[] = {
      {"--set dataRate=1 --set dataLength=0 --set rampType=0 --set idleSamples=0 --set OverSampling=2", "4224\n"},
      {"--set preambleType=1 --set dataLength=100 --set rampType=0 --set idleSamples=0", "7424\n"},
      {"--set dataRate=1 --set dataLength=0 --set rampLength=44 --set idleSamples=0", "8536\n"},
      {"--set dataRate=1 --set dataLength=0 --set rampLength=7 --set idleSamples=0", "8462\n"},
      {"--set generationMode=0 --set dataRate=2 --set dataLength=2 --set OverSampling=3", "264\n"},
      {"--set dataRate=1 --set dataLength=1 --set OverSampling=3 --set rampType=0 --set idleSamples=1", "6602\n"},
      {"--set highRateMod=1 --set dataLength=100 --set rampType=0 --set idleSamples=0 --set OverSampling=2",
       "5824\n"},
  };
  for (const auto& [args, expected] : cases) EXPECT_EQ(run(std::string("estimate ") + args).output, expected) << args;
}

TEST(Cli, EstimateRefusesBadFieldsWithStatus2) {
  const CommandResult unknown = run("estimate --set dataRat=1");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.output.find("dataRat: unknown field"), std::string::npos);
  const CommandResult range = run("estimate --set dataRate=3");
  EXPECT_EQ(range.status, 2);
  EXPECT_NE(range.output.find("dataRate: 3 is not allowed; allowed: one of 1 2 5.5 11"), std::string::npos);
  EXPECT_EQ(run("estimate --set totalLength=3").status, 2);
}

TEST(Cli, CallPrintsResultsAndErrors) {
  EXPECT_EQ(run("call Dot11b_SizeEst 1 0 1 0 0 0 0 0 0 2").output, "4224\n");
  const CommandResult tooMany = run("call Dot11b_SizeEst 1 0 1 0 0 0 0 0 0 2 3");
  EXPECT_EQ(tooMany.status, 1);
  EXPECT_EQ(tooMany.output,
            "Run-time Error: File: dot11b_SizeEst Line: 1 Column: 1 The function \"dot11b_SizeEst\" was called "
            "with more than the declared number of inputs (10).\n");
  EXPECT_EQ(run("call NoSuchRoutine").status, 1);
  EXPECT_EQ(run("call Dot11b_SizeEst '[1 2'").status, 2);
  for (const char* count : {"-1", "1.5", "NaN", "1e10", "2147483647"})
    EXPECT_EQ(run(std::string("call --nargout ") + count + " Dot11b_SizeEst").status, 2) << count;
  EXPECT_EQ(run("--help").status, 0);
  EXPECT_EQ(run("call --help").status, 0);
  EXPECT_EQ(run("estimate --help").status, 0);
}

TEST(Cli, NumbersInMessagesReadAsTyped) {
  const std::pair<const char*, const char*> cases[] = {
      {"call Dot11b_SizeEst 1 800 3 0 0 0 0 0 0 2", "Dot11b_SizeEst: data rate 3 is not 1, 2, 5.5 or 11 Mbit/s"},
      {"call Dot11b_SizeEst 1 800 1e-5 0 0 0 0 0 0 2", "data rate 1e-05 is not"},
      {"call Dot11b_LENGTH 1.5 11 0", "must be a whole number >= 0, got 1.5\n"},
      {"call Dot11b_HEADER 800 11 0 0.25", "input 'locked' must be 0 or 1, not 0.25\n"},
      {"call PNgenerator 9 1e10", "length 10000000000 bits exceeds"},
      {"call Filter_gaussian 10 -0.35 4", "must be a finite value > 0, got -0.35\n"},
      {"estimate --set dataRate=0.123456789", "dataRate: 0.123456789 is not allowed"},
  };
  for (const auto& [command, message] : cases) {
    const CommandResult r = run(command);
    EXPECT_NE(r.output.find(message), std::string::npos) << command << "\n" << r.output;
  }
}

TEST(Cli, PlotWritesTheViewAndItsDataOffScreen) {
  const std::string folder = ::testing::TempDir();
  const std::string png = folder + "/eye.png", csv = folder + "/eye.csv";
  const CommandResult eye = run("plot eye --symbols 2 --delay 0.5 --size 400x300 --png " + png + " --csv " + csv);
  ASSERT_EQ(eye.status, 0) << eye.output;
  std::FILE* image = std::fopen(png.c_str(), "rb");
  ASSERT_NE(image, nullptr);
  unsigned char head[24] = {};
  ASSERT_EQ(std::fread(head, 1, sizeof head, image), sizeof head);
  std::fclose(image);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(head + 1), 3), "PNG");
  // The PNG header's width and height, big-endian.
  EXPECT_EQ((head[18] << 8) | head[19], 400);
  EXPECT_EQ((head[22] << 8) | head[23], 300);
  std::FILE* table = std::fopen(csv.c_str(), "r");
  ASSERT_NE(table, nullptr);
  char header[128] = {};
  ASSERT_NE(std::fgets(header, sizeof header, table), nullptr);
  std::fclose(table);
  EXPECT_STREQ(header, "\"Trace\",\"Time (nS)\",\"I (V)\",\"Q (V)\"\n");
  // The mask view measures the frame with the receiver: its table ends 22 MHz off the carrier at 44 MHz,
  // under the -30 dBr limit.
  const std::string maskCsv = folder + "/mask.csv";
  ASSERT_EQ(run("plot mask --png " + folder + "/mask.png --csv " + maskCsv).status, 0);
  std::ifstream maskTable(maskCsv);
  std::string line, last;
  std::getline(maskTable, line);
  EXPECT_EQ(line, "\"Frequency off the carrier (MHz)\",\"Level (dBr)\",\"Limit (dBr)\"");
  while (std::getline(maskTable, line)) last = line;
  EXPECT_EQ(last.substr(0, last.find(',')), "21.933333333333334");
  EXPECT_EQ(last.substr(last.rfind(',')), ",-30");

  const CommandResult unwritable = run("plot ccdf --png /nonexistent-folder/x.png");
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_NE(unwritable.output.find("cannot write /nonexistent-folder/x.png"), std::string::npos) << unwritable.output;
}

TEST(Cli, VerifyDecodesEveryFormatTheGeneratorWrites) {
  const std::string folder = ::testing::TempDir() + "/verify";
  std::filesystem::create_directories(folder);
  const std::string frame = "--set dataRate=2 --set dataLength=64 --set MACheader.Active=1 --set MACfcs.Active=1";
  for (const char* name :
       {"f.cf64", "f.iq16", "f.sigmf-data", "f.mat", "f.cs8", "f.cs16", "f.cf32", "i.sigmf-data", "b.sigmf-data"}) {
    const std::string path = folder + "/" + name;
    const char* sigmfType = name[0] == 'i' ? " --sigmf-type ci16_le" : name[0] == 'b' ? " --sigmf-type ci8" : "";
    ASSERT_EQ(run("generate " + frame + " --out " + path + sigmfType).status, 0) << name;
    const bool saysItsRate =
        std::string(name).find("sigmf") != std::string::npos || std::string(name).ends_with(".mat");
    const CommandResult verified = run("verify " + path + (saysItsRate ? "" : " --rate 44000000") + " --expect-fcs");
    EXPECT_EQ(verified.status, 0) << name << "\n" << verified.output;
    EXPECT_NE(verified.output.find("2 Mbit/s DQPSK, long preamble"), std::string::npos) << verified.output;
    EXPECT_NE(verified.output.find("FCS ok"), std::string::npos) << verified.output;
  }
  const CommandResult made =
      run("generate " + frame + " --set highRateMod=1 --set dataRate=11 --out " + folder + "/p.cf64 --verify");
  EXPECT_EQ(made.status, 0) << made.output;
  EXPECT_NE(made.output.find("11 Mbit/s PBCC"), std::string::npos) << made.output;
  const CommandResult json = run("verify " + folder + "/f.sigmf-meta --json --mask-csv " + folder + "/mask.csv");
  std::ifstream maskTable(folder + "/mask.csv");
  std::string header;
  std::getline(maskTable, header);
  EXPECT_EQ(header, "\"Frequency (Hz)\",\"Level (dBr)\",\"Limit (dBr)\"");
  EXPECT_EQ(json.status, 0);
  for (const char* key : {"\"frames\"", "\"start_sample\"", "\"rate_mbps\": 2", "\"modulation\": \"DQPSK\"",
                          "\"preamble\": \"long\"", "\"header_crc_ok\": true", "\"psdu_hex\"", "\"fcs_ok\": true",
                          "\"evm_rms_percent\"", "\"cfo_hz\"", "\"clock_ppm\"", "\"mac\"", "\"mask\"",
                          "\"resolution_bandwidth_hz\": 100000.0", "\"margin_db\""}) {
    EXPECT_NE(json.output.find(key), std::string::npos) << key;
  }
}

TEST(Cli, VerifyRefusesDamagedAndHostileFilesWithStatus2) {
  const std::string folder = ::testing::TempDir() + "/verify-bad";
  std::filesystem::create_directories(folder);
  const auto write = [&](const std::string& name, const std::string& text) {
    std::ofstream(folder + "/" + name, std::ios::binary) << text;
    return folder + "/" + name;
  };
  const std::string truncated = write("cut.cf64", std::string(17, '\0'));
  EXPECT_EQ(run("verify " + truncated + " --rate 44e6").status, 2);
  EXPECT_EQ(run("verify " + write("x.cf64", std::string(32, '\0'))).status, 2);  // no rate known
  EXPECT_EQ(run("verify " + truncated + " --rate 0").status, 2);
  EXPECT_EQ(run("verify " + truncated + " --rate nan").status, 2);
  EXPECT_EQ(run("verify " + folder + "/missing.cf32 --rate 20e6").status, 2);
  const CommandResult rateless = run("verify " + write("x.cs8", std::string(4, '\0')));
  EXPECT_EQ(rateless.status, 2);
  EXPECT_NE(rateless.output.find("does not say its sample rate; give --rate HZ"), std::string::npos) << rateless.output;
  EXPECT_EQ(run("verify " + write("odd.cs8", std::string(3, '\0')) + " --rate 20e6").status, 2);
  EXPECT_EQ(run("verify " + write("x.wav", "RIFF") + " --rate 20e6").status, 2);
  write("t.sigmf-data", std::string(8, '\0'));
  for (const char* meta : {"{\"global\": {\"core:datatype\": 7}}",
                           "{\"global\": {\"core:datatype\": \"cf32_le\", \"core:sample_rate\": \"fast\"}}",
                           "{\"global\": {\"core:datatype\": \"cf32_le\", \"core:sample_rate\": 0}}",
                           "{\"global\": {\"core:datatype\": \"ri8\", \"core:sample_rate\": 1e6}}", "[1, 2", "{}"}) {
    const CommandResult bad = run("verify " + write("t.sigmf-meta", meta));
    EXPECT_EQ(bad.status, 2) << meta << "\n" << bad.output;
    EXPECT_NE(bad.output.find("t.sigmf-meta"), std::string::npos) << bad.output;
  }
  // A readable capture without a frame: status 1.
  EXPECT_EQ(run("verify " + write("zeros.cf32", std::string(8000, '\0')) + " --rate 20e6").status, 1);
}
