// SPDX-License-Identifier: GPL-3.0-or-later
// A disk that fills up: the tool runs with a preloaded shim that gives a folder a disk of a few bytes (a file
// system cannot be mounted here). A capture keeps what it wrote and closes it with its description; no
// output leaves an empty or partial file under its name.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "instrument/cli_runner.h"
#include "loopback_support.h"

namespace {

using instrument_test::CliResult;
using instrument_test::runCli;
using sdr_test::Folder;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The tool run on a disk of `bytes` bytes for the files of `folder`.
CliResult runOnFullDisk(const std::string& folder, long bytes, const std::vector<std::string>& args) {
  ::setenv("LD_PRELOAD", DOT11B_FULL_DISK_SHIM, 1);
  ::setenv("FULL_DISK_FOLDER", folder.c_str(), 1);
  ::setenv("FULL_DISK_BYTES", std::to_string(bytes).c_str(), 1);
  // A sanitized tool wants its runtime first among the libraries; the shim comes before it.
  const std::string asan = std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") : "";
  ::setenv("ASAN_OPTIONS", (asan + ":verify_asan_link_order=0").c_str(), 1);
  CliResult result = runCli(args);
  ::setenv("ASAN_OPTIONS", asan.c_str(), 1);
  for (const char* name : {"LD_PRELOAD", "FULL_DISK_FOLDER", "FULL_DISK_BYTES"}) ::unsetenv(name);
  return result;
}

std::vector<std::string> filesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

nlohmann::json readJson(const std::string& path) {
  std::ifstream in(path);
  return nlohmann::json::parse(in, nullptr, false);
}

// The disk fills during the capture (1 MB of the 80 MB a second takes), once the description no longer fits
// beside the whole capture, and at once: the first two keep what fits, in whole samples, closed with a
// description that says why it ends early; the last has nothing to keep and leaves nothing.
TEST(FullDisk, ACaptureKeepsWhatWasWrittenAndClosesItWhole) {
  const struct {
    const char* name;
    long disk;
    double duration;
    bool kept;
  } cases[] = {
      {"during the samples", 1000000, 1, true},
      {"at the description", 400000 + 100, 0.005, true},  // 100000 samples of 4 bytes fit, the description not
      {"at once", 100, 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Folder folder;
    const std::string out = folder / "out";
    std::filesystem::create_directory(out);
    const CliResult result =
        runOnFullDisk(out, c.disk,
                      {"capture", "--device", "driver=loopback", "--frequency", "2412e6", "--rate", "20e6",
                       "--duration", std::to_string(c.duration), "--out", out + "/rec"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_TRUE(has(result.err, "No space left on device")) << result.err;
    if (!c.kept) {
      EXPECT_EQ(filesIn(out), std::vector<std::string>{});
      continue;
    }
    EXPECT_EQ(filesIn(out), (std::vector<std::string>{"rec.sigmf-data", "rec.sigmf-meta"}));
    const auto size = std::filesystem::file_size(out + "/rec.sigmf-data");
    EXPECT_GT(size, 0u);
    EXPECT_EQ(size % 4, 0u);  // whole ci16_le samples
    EXPECT_LE(size + std::filesystem::file_size(out + "/rec.sigmf-meta"), static_cast<std::uintmax_t>(c.disk));
    EXPECT_TRUE(has(result.err, std::to_string(size / 4) + " samples (ci16_le) in " + out + "/rec.sigmf-data"))
        << result.err;
    const nlohmann::json meta = readJson(out + "/rec.sigmf-meta");
    ASSERT_FALSE(meta.is_discarded());
    EXPECT_EQ(meta["global"]["core:sample_rate"], 20e6);
    EXPECT_TRUE(has(meta["global"]["core:description"], "cut short: No space left on device"))
        << meta["global"]["core:description"];
    // The recording reads as any other.
    EXPECT_NE(runCli({"verify", out + "/rec.sigmf-meta"}).exitStatus, 2);
  }
}

// verify's --mask-csv on a full disk leaves no part of a table under its name.
TEST(FullDisk, AMaskCsvIsWholeOrNotThere) {
  const Folder folder;
  ASSERT_EQ(runCli({"generate", "--out", folder / "frame.cf64"}).exitStatus, 0);
  const std::string out = folder / "out";
  std::filesystem::create_directory(out);
  const CliResult full =
      runOnFullDisk(out, 1000, {"verify", folder / "frame.cf64", "--rate", "44e6", "--mask-csv", out + "/mask.csv"});
  EXPECT_EQ(full.exitStatus, 1);
  EXPECT_TRUE(has(full.err, "No space left on device")) << full.err;
  EXPECT_EQ(filesIn(out), std::vector<std::string>{});
  const CliResult roomy = runOnFullDisk(
      out, 10000000, {"verify", folder / "frame.cf64", "--rate", "44e6", "--mask-csv", out + "/mask.csv"});
  EXPECT_EQ(roomy.exitStatus, 0) << roomy.err;
  EXPECT_EQ(filesIn(out), std::vector<std::string>{"mask.csv"});
}

}  // namespace
