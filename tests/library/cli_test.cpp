#include <gtest/gtest.h>

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
