// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/replacement_set.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace dot11b::files {

namespace {

bool exists(const std::string& path) {
  struct stat s {};
  return ::lstat(path.c_str(), &s) == 0;
}

void renameOrFail(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0)
    throw std::runtime_error("Unable to replace file '" + to + "': " + std::strerror(errno));
}

// The deciding file's folder, locked while a set is committed in it, and flushed at the end so that the
// renames are on disk too.
class FolderLock {
 public:
  explicit FolderLock(const std::string& member) {
    const std::filesystem::path path(member);
    const std::string folder = path.has_parent_path() ? path.parent_path().string() : ".";
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0 || ::flock(fd_, LOCK_EX) != 0)
      throw std::runtime_error("Unable to lock the folder '" + folder + "': " + std::strerror(errno));
  }
  ~FolderLock() {
    ::fsync(fd_);
    ::close(fd_);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_ = -1;
};

// Finishes a commit of the set that was cut short after its deciding file was staged, or clears away one
// cut short before. `targets`: the files in place, the deciding one last.
void settle(const std::vector<std::string>& targets) {
  const std::string& deciding = targets.back();
  if (!exists(stagedName(deciding))) {
    for (const std::string& target : targets) ::unlink(stagedName(target).c_str());
    return;
  }
  ::unlink(deciding.c_str());
  for (std::size_t k = 0; k + 1 < targets.size(); ++k)
    if (exists(stagedName(targets[k]))) renameOrFail(stagedName(targets[k]), targets[k]);
  renameOrFail(stagedName(deciding), deciding);
}

}  // namespace

std::string stagedName(const std::string& target) { return target + ".staged"; }

std::string committedPath(const std::vector<std::string>& targets, std::size_t k) {
  if (!exists(stagedName(targets.back()))) return targets[k];
  return exists(stagedName(targets[k])) ? stagedName(targets[k]) : targets[k];
}

ReplacementSet::~ReplacementSet() = default;

const std::string& ReplacementSet::add(const std::string& target) {
  auto file = std::make_unique<ReplacementFile>(target);
  for (const auto& member : files_)
    if (member->target() == file->target()) throw std::invalid_argument("'" + target + "' is named twice");
  files_.push_back(std::move(file));
  return files_.back()->path();
}

void ReplacementSet::commit() {
  // Devices and pipes were written where they are; the others are replaced.
  std::vector<ReplacementFile*> replaced;
  std::vector<std::string> targets;
  for (const auto& file : files_) {
    if (!file->replaces()) continue;
    replaced.push_back(file.get());
    targets.push_back(file->target());
  }
  if (replaced.empty()) return;
  // One file alone is replaced by one rename, never missing in between.
  if (replaced.size() == 1) return replaced.front()->commit();
  const FolderLock lock(targets.back());
  settle(targets);
  try {
    for (ReplacementFile* file : replaced) file->commitAs(stagedName(file->target()));
  } catch (const std::exception&) {
    settle(targets);  // the deciding file was not staged: the staged ones go, the old set stays
    throw;
  }
  // The new set stands from here on: the old deciding file goes first, so that no reader finds it beside a
  // new member.
  if (::unlink(targets.back().c_str()) != 0 && errno != ENOENT)
    throw std::runtime_error("Unable to replace file '" + targets.back() + "': " + std::strerror(errno));
  for (const std::string& target : targets) renameOrFail(stagedName(target), target);
}

}  // namespace dot11b::files
