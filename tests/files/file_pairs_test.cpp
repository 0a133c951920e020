// SPDX-License-Identifier: GPL-3.0-or-later
// Files written as a pair (SigMF data and metadata, a waveform and its markers) under a kill between the
// renames, a full disk after the first file and two writers at once: a reader always finds one writer's
// whole pair, and nothing is left behind by the next write.
#include <gtest/gtest.h>

#include <sys/file.h>
#include <fcntl.h>

#include <nlohmann/json.hpp>

#include "files/replacement_set.h"
#include "files/safe_save.h"
#include "test_support.h"

namespace dot11b::test {
namespace {

class FilePairs : public ::testing::Test {
 protected:
  // Runs the tool in the scratch folder, with `environment` (VAR=VALUE ...) before it.
  CommandResult dot11b(const std::string& args, const std::string& environment = "") {
    return runCommand("cd " + shellQuoted(dir.path().string()) + " && " + environment + " " + shellQuoted(DOT11B_CLI) +
                      " " + args);
  }
  // Killed before its N-th rename.
  CommandResult killedAt(int rename, const std::string& args) {
    return dot11b(args, "LD_PRELOAD=" + shellQuoted(DOT11B_KILL_SHIM) + " DOT11B_KILL_AT_RENAME=" + std::to_string(rename));
  }
  // On a disk with room for `more` bytes beside the files the folder holds now.
  CommandResult onFullDisk(std::uintmax_t more, const std::string& args) {
    std::uintmax_t used = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) used += entry.file_size();
    return dot11b(args, "LD_PRELOAD=" + shellQuoted(DOT11B_FULL_DISK_SHIM) + " FULL_DISK_FOLDER=" +
                            shellQuoted(dir.path().string()) + " FULL_DISK_BYTES=" + std::to_string(used + more));
  }
  // The SigMF pair as a reader finds it: its datatype, and whether the data holds that many whole samples
  // of the frame that both writers make.
  std::string sigmfPair() {
    const std::vector<std::string> pair = {dir / "x.sigmf-data", dir / "x.sigmf-meta"};
    const std::string meta = readBytes(files::committedPath(pair, 1));
    const std::string type = nlohmann::json::parse(meta)["global"]["core:datatype"];
    const std::size_t bytes = readBytes(files::committedPath(pair, 0)).size();
    EXPECT_EQ(bytes, samples_ * (type == "cf32_le" ? 8 : 4)) << type << ": the data is not the metadata's";
    return type;
  }
  // The markers pair as a reader finds it: the frame length it holds, both files agreeing.
  std::size_t markersPair() {
    const std::vector<std::string> pair = {dir / "w.markers", dir / "w.cs8"};
    const std::size_t markers = readBytes(files::committedPath(pair, 0)).size();
    const std::size_t waveform = readBytes(files::committedPath(pair, 1)).size();
    EXPECT_EQ(markers, waveform) << "two bytes a sample in each file";
    return waveform / 2;
  }
  void SetUp() override {
    ASSERT_EQ(dot11b(kSigmf + " --sigmf-type cf32_le").status, 0);
    samples_ = readBytes(dir / "x.sigmf-data").size() / 8;
  }

  const std::string kSigmf = "generate --set dataLength=10 --out x.sigmf";
  const std::string kShort = "generate --set dataLength=10 --out w.cs8 --markers w.markers";
  const std::string kLong = "generate --set dataLength=60 --out w.cs8 --markers w.markers";
  ScratchDir dir;
  std::size_t samples_ = 0;
};

#ifdef DOT11B_SANITIZED
#define SKIP_UNDER_SANITIZER() GTEST_SKIP() << "the sanitizer's run-time comes before the preloaded faults"
#else
#define SKIP_UNDER_SANITIZER() (void)0
#endif

// Each pair is renamed in four steps: both files staged (the deciding one last), then both put in place.
// Killed before step N, a reader finds the old pair before the deciding file was staged, the new one after.
TEST_F(FilePairs, AKillBetweenTheRenamesLeavesTheOldPairOrTheNewOne) {
  SKIP_UNDER_SANITIZER();
  for (int step = 1; step <= 4; ++step) {
    ASSERT_EQ(dot11b(kSigmf + " --sigmf-type cf32_le").status, 0);
    const CommandResult killed = killedAt(step, kSigmf + " --sigmf-type ci16_le");
    EXPECT_NE(killed.status, 0) << "step " << step;
    EXPECT_EQ(sigmfPair(), step <= 2 ? "cf32_le" : "ci16_le") << "killed before rename " << step;
    EXPECT_EQ(dot11b("verify x.sigmf-meta").status, 0) << "killed before rename " << step;

    ASSERT_EQ(dot11b(kShort).status, 0);
    const std::size_t shortFrame = markersPair();
    EXPECT_NE(killedAt(step, kLong).status, 0);
    if (step <= 2) {
      EXPECT_EQ(markersPair(), shortFrame) << "killed before rename " << step << ": the old pair stands";
    } else {
      EXPECT_GT(markersPair(), shortFrame) << "killed before rename " << step << ": the new pair stands";
    }
  }
  // The next write of each pair finished or cleared what was cut short, and took the temporary files of
  // the writers that died.
  ASSERT_EQ(dot11b(kSigmf).status, 0);
  ASSERT_EQ(dot11b(kShort).status, 0);
  EXPECT_EQ(dir.entryCount(), 4u);
}

TEST_F(FilePairs, AFullDiskAfterTheFirstFileKeepsTheOldPair) {
  SKIP_UNDER_SANITIZER();
  // Room for the ci16 data, written before its metadata, and no more.
  const CommandResult full = onFullDisk(4 * samples_ + 100, kSigmf + " --sigmf-type ci16_le");
  EXPECT_EQ(full.status, 1) << full.output;
  EXPECT_NE(full.output.find("No space left on device"), std::string::npos) << full.output;
  EXPECT_EQ(sigmfPair(), "cf32_le");

  ASSERT_EQ(dot11b(kShort).status, 0);
  const std::size_t shortFrame = markersPair();
  // Room for the new markers, written first, and not for the waveform.
  const std::size_t longFrame = std::stoul(dot11b("estimate --set dataLength=60").output);
  const CommandResult fullMarkers = onFullDisk(2 * longFrame + 200, kLong);
  EXPECT_EQ(fullMarkers.status, 1) << fullMarkers.output;
  EXPECT_EQ(markersPair(), shortFrame);
  EXPECT_EQ(dir.entryCount(), 4u) << "no temporary file is left";
}

TEST_F(FilePairs, TwoWritersAtOnceLeaveOneWritersWholePair) {
  for (int round = 0; round < 50; ++round) {
    const std::string tool = shellQuoted(DOT11B_CLI) + " ";
    const CommandResult r = runCommand("cd " + shellQuoted(dir.path().string()) + " && (" + tool + kSigmf +
                                       " --sigmf-type cf32_le & " + tool + kSigmf + " --sigmf-type ci16_le & " + tool +
                                       kShort + " & " + tool + kLong + " & wait)");
    ASSERT_EQ(r.status, 0) << r.output;
    sigmfPair();
    markersPair();
    ASSERT_FALSE(HasFailure()) << "round " << round;
  }
  EXPECT_EQ(dir.entryCount(), 4u);
}

// A temporary file that no living writer holds is taken away by the next write of the same name.
TEST_F(FilePairs, AbandonedTemporariesGoWithTheNextWrite) {
  const std::string abandoned = dir / "t.bin.tmp-AbCdEf";
  writeBytes(abandoned, "left by a killed writer");
  const std::string held = dir / "t.bin.tmp-GhIjKl";
  writeBytes(held, "being written");
  const int fd = ::open(held.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  writeBytes(dir / "t.bin.tmp-other", "not a temporary name of t.bin");
  files::saveBytes(dir / "t.bin", "new");
  EXPECT_FALSE(std::filesystem::exists(abandoned));
  EXPECT_TRUE(std::filesystem::exists(held)) << "its writer still holds it";
  EXPECT_TRUE(std::filesystem::exists(dir / "t.bin.tmp-other"));
  EXPECT_EQ(readBytes(dir / "t.bin"), "new");
  ::close(fd);
}

}  // namespace
}  // namespace dot11b::test
