// SPDX-License-Identifier: GPL-3.0-or-later
// Shared helpers of the file tests: scratch folders, file bytes and running the command-line tool.
#pragma once

#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <sys/wait.h>

#include "support/run_command.h"
#include "runtime/display.h"
#include "runtime/value.h"

namespace dot11b::rt {
// Values in test failure messages.
inline void PrintTo(const Value& v, std::ostream* os) { *os << describe(v) << ": " << display(v); }
}  // namespace dot11b::rt

namespace dot11b::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchDir {
 public:
  ScratchDir() {
    std::random_device seed;
    path_ = std::filesystem::temp_directory_path() / ("dot11b-files-" + std::to_string(::getpid()) + "-" +
                                                      std::to_string(seed()));
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  // Names of the files inside, for checking that nothing was left behind.
  std::size_t entryCount() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path_), {}));
  }

 private:
  std::filesystem::path path_;
};

inline std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

using testing::CommandResult;
using testing::runCommand;
using testing::shellQuoted;

}  // namespace dot11b::test
