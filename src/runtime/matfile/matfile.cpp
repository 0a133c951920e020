// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/matfile/matfile.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>

#include "runtime/matfile/matfile_codec.h"
#include "runtime/modules.h"

namespace dot11b::rt {

namespace {

constexpr const char* kMatFileModule = "libDot11b_matfile.so";

// The MAT-file library and the dozens of libraries behind it are loaded with the first file read or
// written, not with the library.
const MatFileCodec& codec() {
  static const MatFileCodec* opened = [] {
    void* module = nullptr;
    try {
      module = openModule(kMatFileModule);
    } catch (const std::exception& e) {
      throw MatFileError(std::string("MAT-files cannot be read or written: ") + e.what());
    }
    using Entry = const MatFileCodec* (*)();
    const auto entry = reinterpret_cast<Entry>(dlsym(module, "dot11b_matfile_codec"));
    const MatFileCodec* found = entry != nullptr ? entry() : nullptr;
    if (found == nullptr || found->version != kMatFileCodecVersion) {
      throw MatFileError(std::string("MAT-files cannot be read or written: ") + kMatFileModule + " does not match this library");
    }
    return found;
  }();
  return *opened;
}

std::string readWholeFile(const std::string& path, std::uint64_t maxBytes) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) throw MatFileError("Unable to read file '" + path + "': " + std::strerror(errno));
  const std::streamoff size = in.tellg();
  if (size < 0) throw MatFileError("Unable to read file '" + path + "'");
  if (static_cast<std::uint64_t>(size) > maxBytes)
    throw MatFileError("Unable to read file '" + path + "': larger than " + std::to_string(maxBytes) + " bytes");
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.seekg(0);
  if (!in.read(bytes.data(), size)) throw MatFileError("Unable to read file '" + path + "'");
  return bytes;
}

// A file's bytes mapped into memory, read only: a scan that looks at the elements' tags and not their data
// reads only the pages that hold the tags.
class MappedFile {
 public:
  explicit MappedFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw MatFileError("Unable to read file '" + path + "': " + std::strerror(errno));
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0) {
      size_ = static_cast<std::size_t>(st.st_size);
      void* at = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
      at_ = at == MAP_FAILED ? nullptr : at;
    }
    const int error = errno;
    ::close(fd);
    if (size_ > 0 && !at_) throw MatFileError("Unable to read file '" + path + "': " + std::strerror(error));
  }
  ~MappedFile() {
    if (at_) ::munmap(at_, size_);
  }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  std::string_view bytes() const { return at_ ? std::string_view(static_cast<const char*>(at_), size_) : std::string_view(); }

 private:
  void* at_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace

MatVariables readMatBytes(std::string_view bytes, const MatReadLimits& limits) {
  checkMatFileBytes(bytes, limits);
  MatVariables variables;
  if (std::string error; !codec().parse(bytes, variables, error)) throw MatFileError(error);
  return variables;
}

MatVariables readMatFile(const std::string& path, const MatReadLimits& limits) {
  return readMatBytes(readWholeFile(path, limits.maxFileBytes), limits);
}

void writeMatFile(const std::string& path, const MatVariables& variables) {
  if (std::string error; !codec().write(path, variables, error)) throw MatFileError(error);
  // The MAT-file library does not check every write it makes: read the structure back so that a file cut
  // short (a full disk) is reported instead of being left behind as if complete. A device or pipe cannot
  // be read back. The file is mapped, not read: the check reads the tags, a few pages of a large file.
  struct stat written {};
  if (::stat(path.c_str(), &written) != 0 || !S_ISREG(written.st_mode)) return;
  MatReadLimits unlimited;
  unlimited.maxFileBytes = unlimited.maxInflatedBytes = std::numeric_limits<std::uint64_t>::max();
  try {
    checkMatFileBytes(MappedFile(path).bytes(), unlimited);
  } catch (const MatFileError& e) {
    throw MatFileError("'" + path + "' was not written completely: " + e.what());
  }
}

}  // namespace dot11b::rt
