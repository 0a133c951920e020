// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/matfile/matfile_names.h"

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <fstream>

#include "runtime/matfile/matfile_check.h"

namespace dot11b::rt {

namespace {

constexpr std::uint32_t miINT8 = 1, miMATRIX = 14, miCOMPRESSED = 15;
constexpr std::size_t kHeaderBytes = 128;
// Enough of an array to hold its flags, up to eight dimensions and a name of MATLAB's longest (63).
constexpr std::size_t kArrayHeadBytes = 16 + 8 + 8 * 4 + 8 + 64;
// Compressed input read to inflate that much: deflate never grows data by more than a little.
constexpr std::size_t kCompressedHeadBytes = 4096;

[[noreturn]] void fail(const std::string& path, const std::string& why) {
  throw MatFileError("Unable to read file '" + path + "': " + why);
}

class ElementReader {
 public:
  explicit ElementReader(const std::string& path) : path_(path), in_(path, std::ios::binary) {
    if (!in_) fail(path, std::strerror(errno));
    std::string header(kHeaderBytes, '\0');
    if (!in_.read(header.data(), kHeaderBytes)) fail(path, "not a MAT-file");
    const std::string endian = header.substr(126, 2);
    if (endian != "IM" && endian != "MI") fail(path, "not a level 5 MAT-file");
    swap_ = endian == "MI";
  }

  std::uint32_t u32(std::string_view b, std::size_t at) const {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + i])); };
    return swap_ ? (byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3))
                 : (byte(3) << 24 | byte(2) << 16 | byte(1) << 8 | byte(0));
  }

  // The next top-level element's type and its first bytes (at most `head`), the stream left after it;
  // nothing at the end of the file.
  bool next(std::uint32_t& type, std::string& headBytes) {
    char tag[8];
    if (!in_.read(tag, 8)) {
      if (in_.gcount() == 0) return false;
      fail(path_, "an element is cut off");
    }
    type = u32({tag, 8}, 0);
    const std::uint64_t size = u32({tag, 8}, 4);
    const std::size_t head = type == miCOMPRESSED ? kCompressedHeadBytes : kArrayHeadBytes;
    headBytes.assign(static_cast<std::size_t>(std::min<std::uint64_t>(size, head)), '\0');
    if (!in_.read(headBytes.data(), static_cast<std::streamsize>(headBytes.size()))) fail(path_, "an element is cut off");
    in_.seekg(static_cast<std::streamoff>(size - headBytes.size()), std::ios::cur);
    if (!in_) fail(path_, "an element is cut off");
    return true;
  }

  // The name in the first bytes of an array element's data; "" when they hold none.
  std::string arrayName(std::string_view array) const {
    std::size_t at = 0;
    for (int skip = 0; skip < 2; ++skip) {  // the flags, then the dimensions
      if (array.size() < at + 8) return {};
      at += 8 + (u32(array, at + 4) + 7) / 8 * 8;
    }
    if (array.size() < at + 8) return {};
    const std::uint32_t first = u32(array, at);
    if (first >> 16 != 0)  // a small element: type and size in one word, the name in the next four bytes
      return (first & 0xFFFF) == miINT8 ? std::string(array.substr(at + 4, std::min<std::size_t>(first >> 16, 4))) : "";
    if (first != miINT8) return {};
    return std::string(array.substr(at + 8, std::min<std::size_t>(u32(array, at + 4), array.size() - at - 8)));
  }

 private:
  std::string path_;
  std::ifstream in_;
  bool swap_ = false;
};

// The first bytes of a compressed element once inflated.
std::string inflateHead(std::string_view compressed, std::size_t wanted) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return {};
  std::string out(wanted, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
  z.avail_in = static_cast<uInt>(compressed.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(wanted);
  inflate(&z, Z_SYNC_FLUSH);
  out.resize(wanted - z.avail_out);
  inflateEnd(&z);
  return out;
}

}  // namespace

std::vector<std::string> matVariableNames(const std::string& path) {
  ElementReader reader(path);
  std::vector<std::string> names;
  std::uint32_t type = 0;
  std::string head;
  while (reader.next(type, head)) {
    if (type == miCOMPRESSED) {
      const std::string inflated = inflateHead(head, 8 + kArrayHeadBytes);
      if (inflated.size() < 8 || reader.u32(inflated, 0) != miMATRIX) continue;
      head = inflated.substr(8);
    } else if (type != miMATRIX) {
      continue;
    }
    if (std::string name = reader.arrayName(head); !name.empty()) names.push_back(std::move(name));
  }
  return names;
}

}  // namespace dot11b::rt
