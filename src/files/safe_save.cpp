// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/safe_save.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <map>
#include <optional>
#include <stdexcept>
#include <vector>

namespace dot11b::files {

namespace {

constexpr std::string_view kTemporaryMark = ".tmp-";
constexpr std::size_t kTemporarySuffixLength = 6;  // mkstemp's XXXXXX

[[noreturn]] void fail(const std::string& what, const std::string& target, int error) {
  throw std::runtime_error(what + " '" + target + "': " + std::strerror(error));
}

// The temporary files of this process's ReplacementFiles, with their targets and descriptors: a save into
// one writes it directly, through the descriptor its ReplacementFile holds.
struct Live {
  std::string target;
  int fd;
};
std::mutex liveMutex;
std::map<std::string, Live> liveTemporaries;

std::optional<Live> live(const std::string& path) {
  const std::lock_guard<std::mutex> hold(liveMutex);
  const auto found = liveTemporaries.find(path);
  if (found == liveTemporaries.end()) return std::nullopt;
  return found->second;
}

void setLive(const std::string& path, const std::string& target, int fd) {
  const std::lock_guard<std::mutex> hold(liveMutex);
  liveTemporaries[path] = {target, fd};
}

void setGone(const std::string& path) {
  const std::lock_guard<std::mutex> hold(liveMutex);
  liveTemporaries.erase(path);
}

// Bytes are handed to the file in pieces of this size, each sent on to the disk as soon as it is written,
// so that the disk works while the next piece is copied and the final flush has little left to wait for.
constexpr std::size_t kPieceBytes = std::size_t{8} << 20;

// Through write(2) itself, so that every byte's fate is known (and a test can fill the disk under it).
// Messages name `shown`, the file the user asked for, not its temporary name. A live temporary file is
// written through its own descriptor: opening it again with O_TRUNC would make the file system flush it
// when that descriptor closes, a wait of its own before the flush of the commit.
void writeAll(const std::string& path, const std::string& shown, std::string_view bytes) {
  const std::optional<Live> temporary = live(path);
  const int fd = temporary ? temporary->fd : ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) throw std::runtime_error("Unable to open file '" + shown + "': " + std::strerror(errno));
  const auto failed = [&](const std::string& what, int error) {
    if (!temporary) ::close(fd);
    throw std::runtime_error(what + std::strerror(error));
  };
  struct stat before {};
  if (temporary && ::fstat(fd, &before) == 0 && before.st_size > 0 && ::ftruncate(fd, 0) != 0)
    failed("Unable to open file '" + shown + "': ", errno);
  std::size_t written = 0;
  while (written < bytes.size()) {
    const std::size_t piece = std::min(kPieceBytes, bytes.size() - written);
    // A pipe has no offsets: only the temporary file, which nothing else has written, is written at them.
    const ssize_t n = temporary ? ::pwrite(fd, bytes.data() + written, piece, static_cast<off_t>(written))
                                : ::write(fd, bytes.data() + written, piece);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      failed("Only " + std::to_string(written) + " of " + std::to_string(bytes.size()) + " bytes were written to '" +
                 shown + "': ",
             n < 0 ? errno : EIO);
    }
    // Only a start: errors of the writing show at the flush of the commit.
    if (temporary) ::sync_file_range(fd, static_cast<off_t>(written), n, SYNC_FILE_RANGE_WRITE);
    written += static_cast<std::size_t>(n);
  }
  if (!temporary && ::close(fd) != 0)
    throw std::runtime_error("Unable to close file '" + shown + "': " + std::strerror(errno));
}

mode_t newFileMode(const std::string& target) {
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0) return existing.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// A link is followed, so that the file it names is replaced rather than the link itself.
std::string resolvedTarget(const std::string& target) {
  struct stat link {};
  if (::lstat(target.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return target;
  char* resolved = ::realpath(target.c_str(), nullptr);
  if (!resolved) return target;
  std::string path(resolved);
  std::free(resolved);
  return path;
}

// Whether `name` is one of target's temporary names: TARGET.tmp-XXXXXX.
bool isTemporaryOf(const std::string& name, const std::string& targetName) {
  const std::size_t prefix = targetName.size() + kTemporaryMark.size();
  return name.size() == prefix + kTemporarySuffixLength && name.compare(0, targetName.size(), targetName) == 0 &&
         name.compare(targetName.size(), kTemporaryMark.size(), kTemporaryMark) == 0;
}

// A new temporary file for `target`, created and locked; returns its descriptor, its name in `path`.
int createLockedTemporary(const std::string& target, std::string& path) {
  for (;;) {
    std::string pattern = target + std::string(kTemporaryMark) + std::string(kTemporarySuffixLength, 'X');
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) fail("Unable to write file", target, errno);
    // Another writer's clean-up may have taken the file in the moment before the lock: then it is gone
    // (no links left), and a new one is made.
    struct stat made {};
    if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &made) == 0 && made.st_nlink > 0) {
      path = name.data();
      return fd;
    }
    ::close(fd);
  }
}

}  // namespace

void removeAbandonedTemporaries(const std::string& target) {
  const std::filesystem::path targetPath(target);
  const std::filesystem::path folder = targetPath.has_parent_path() ? targetPath.parent_path() : ".";
  const std::string targetName = targetPath.filename().string();
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (!isTemporaryOf(name, targetName)) continue;
    const int fd = ::open(it->path().c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) continue;
    // A living writer holds its lock; the file of one that died is free.
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) ::unlink(it->path().c_str());
    ::close(fd);
  }
}

ReplacementFile::ReplacementFile(const std::string& name) {
  if (name.empty()) throw std::runtime_error("no file name given");
  target_ = resolvedTarget(name);
  path_ = target_;
  // A member of a ReplacementSet, already a new file of this process: written where it is, and named in
  // messages by the file it will replace.
  if (const auto outer = live(target_)) {
    target_ = outer->target;
    return;
  }
  struct stat existing {};
  // A device or pipe (/dev/null, /dev/stdout) is written as it is: there is no file to replace.
  if (::stat(target_.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) return;
  removeAbandonedTemporaries(target_);
  lock_ = createLockedTemporary(target_, path_);
  pending_ = true;
  setLive(path_, target_, lock_);
  if (::fchmod(lock_, newFileMode(target_)) != 0) {
    const int error = errno;
    std::remove(path_.c_str());
    setGone(path_);
    ::close(lock_);
    fail("Unable to write file", target_, error);
  }
}

ReplacementFile::~ReplacementFile() {
  if (pending_) std::remove(path_.c_str());
  if (lock_ >= 0) {
    setGone(path_);
    ::close(lock_);
  }
}

void ReplacementFile::commit() { commitAs(target_); }

void ReplacementFile::commitAs(const std::string& name) {
  if (!pending_) return;
  // The data must be on disk before the name moves, or a crash could leave an empty file behind.
  if (::fsync(lock_) != 0) fail("Unable to write file", target_, errno);
  if (::rename(path_.c_str(), name.c_str()) != 0) fail("Unable to replace file", target_, errno);
  pending_ = false;
}

void saveReplacing(const std::string& name, const std::function<void(const std::string&)>& write) {
  ReplacementFile file(name);
  write(file.path());
  file.commit();
}

void saveBytes(const std::string& target, std::string_view bytes) {
  ReplacementFile file(target);
  writeAll(file.path(), file.target(), bytes);
  file.commit();
}

}  // namespace dot11b::files
