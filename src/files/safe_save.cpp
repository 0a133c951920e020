// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/safe_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

namespace dot11b::files {

namespace {

[[noreturn]] void fail(const std::string& what, const std::string& target, int error) {
  throw std::runtime_error(what + " '" + target + "': " + std::strerror(error));
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

void writeAll(const std::string& path, std::string_view bytes) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) throw std::runtime_error("Unable to open file '" + path + "': " + std::strerror(errno));
  const std::size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), file.get());
  if (written != bytes.size())
    throw std::runtime_error("Only " + std::to_string(written) + " of " + std::to_string(bytes.size()) +
                             " bytes were written to '" + path + "': " + std::strerror(errno));
  if (std::fclose(file.release()) != 0)
    throw std::runtime_error("Unable to close file '" + path + "': " + std::strerror(errno));
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

}  // namespace

ReplacementFile::ReplacementFile(const std::string& name) {
  if (name.empty()) throw std::runtime_error("no file name given");
  target_ = resolvedTarget(name);
  path_ = target_;
  struct stat existing {};
  // A device or pipe (/dev/null, /dev/stdout) is written as it is: there is no file to replace.
  if (::stat(target_.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) return;
  std::string pattern = target_ + ".tmp-XXXXXX";
  std::vector<char> temporaryName(pattern.begin(), pattern.end());
  temporaryName.push_back('\0');
  const int fd = ::mkstemp(temporaryName.data());
  if (fd < 0) fail("Unable to write file", target_, errno);
  path_ = temporaryName.data();
  pending_ = true;
  const bool modeSet = ::fchmod(fd, newFileMode(target_)) == 0;
  const int modeError = errno;
  ::close(fd);
  if (!modeSet) {
    std::remove(path_.c_str());
    fail("Unable to write file", target_, modeError);
  }
}

ReplacementFile::~ReplacementFile() {
  if (pending_) std::remove(path_.c_str());
}

void ReplacementFile::commit() {
  if (!pending_) return;
  // The data must be on disk before the name moves, or a crash could leave an empty file behind.
  const int sync = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (sync < 0 || ::fsync(sync) != 0) {
    const int error = errno;
    if (sync >= 0) ::close(sync);
    fail("Unable to write file", target_, error);
  }
  ::close(sync);
  if (::rename(path_.c_str(), target_.c_str()) != 0) fail("Unable to replace file", target_, errno);
  pending_ = false;
}

void saveReplacing(const std::string& name, const std::function<void(const std::string&)>& write) {
  ReplacementFile file(name);
  write(file.path());
  file.commit();
}

void saveBytes(const std::string& target, std::string_view bytes) {
  saveReplacing(target, [&](const std::string& temporary) { writeAll(temporary, bytes); });
}

}  // namespace dot11b::files
