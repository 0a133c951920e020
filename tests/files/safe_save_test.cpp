// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <thread>

#include "files/replacement_set.h"
#include "files/safe_save.h"
#include "test_support.h"

namespace dot11b::files {
namespace {

TEST(SafeSave, ReplacesTheFileWhenTheWriteCompletes) {
  test::ScratchDir dir;
  const std::string path = dir / "f";
  test::writeBytes(path, "old");
  saveBytes(path, "new contents");
  EXPECT_EQ(test::readBytes(path), "new contents");
  EXPECT_EQ(dir.entryCount(), 1u);
}

TEST(SafeSave, FailedWriteLeavesTheOldFileAndNoTemporary) {
  test::ScratchDir dir;
  const std::string path = dir / "f";
  test::writeBytes(path, "old");
  EXPECT_THROW(saveReplacing(path,
                             [](const std::string& temporary) {
                               test::writeBytes(temporary, "half");
                               throw std::runtime_error("interrupted");
                             }),
               std::runtime_error);
  EXPECT_EQ(test::readBytes(path), "old");
  EXPECT_EQ(dir.entryCount(), 1u);
}

TEST(SafeSave, KeepsTheReplacedFilesPermissions) {
  test::ScratchDir dir;
  const std::string path = dir / "f";
  test::writeBytes(path, "old");
  ::chmod(path.c_str(), 0640);
  saveBytes(path, "new");
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(SafeSave, NewFileGetsTheUsualPermissions) {
  test::ScratchDir dir;
  const mode_t mask = ::umask(022);
  saveBytes(dir / "f", "x");
  ::umask(mask);
  struct stat st {};
  ASSERT_EQ(::stat((dir / "f").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST(SafeSave, WritesThroughALinkToItsFile) {
  test::ScratchDir dir;
  test::writeBytes(dir / "real", "old");
  std::filesystem::create_symlink(dir / "real", dir / "link");
  saveBytes(dir / "link", "new");
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link"));
  EXPECT_EQ(test::readBytes(dir / "real"), "new");
}

TEST(SafeSave, WritesADeviceDirectly) {
  saveBytes("/dev/null", "discarded");
  struct stat st {};
  ASSERT_EQ(::stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}

// Longer than the pieces a save writes at a time, with no two pieces alike.
std::string manyPieces() {
  std::string bytes(20u << 20, '\0');
  for (std::size_t k = 0; k < bytes.size(); ++k) bytes[k] = static_cast<char>((k * 2654435761u) >> 13);
  return bytes;
}

TEST(SafeSave, WritesBytesOfManyPiecesWholeToAFileAndAPipe) {
  test::ScratchDir dir;
  const std::string bytes = manyPieces();
  saveBytes(dir / "f", bytes);
  EXPECT_TRUE(test::readBytes(dir / "f") == bytes);
  // A pipe is written as it is, in order, with no offsets.
  const std::string pipe = dir / "pipe";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::string read;
  std::thread reader([&] {
    std::ifstream in(pipe, std::ios::binary);
    read.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  });
  saveBytes(pipe, bytes);
  reader.join();
  EXPECT_TRUE(read == bytes);
}

TEST(SafeSave, AMemberOfASetSavedTwiceHoldsTheSecondBytesAlone) {
  test::ScratchDir dir;
  test::writeBytes(dir / "f", "old");
  ReplacementSet set;
  const std::string& temporary = set.add(dir / "f");
  saveBytes(temporary, "the first, longer contents");
  saveBytes(temporary, "second");
  EXPECT_EQ(test::readBytes(dir / "f"), "old");
  set.commit();
  EXPECT_EQ(test::readBytes(dir / "f"), "second");
  EXPECT_EQ(dir.entryCount(), 1u);
}

TEST(SafeSave, MissingFolderNamesTheFile) {
  try {
    saveBytes("/nonexistent-folder/f", "x");
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent-folder/f"), std::string::npos);
  }
}

}  // namespace
}  // namespace dot11b::files
