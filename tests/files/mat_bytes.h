// SPDX-License-Identifier: GPL-3.0-or-later
// Hand-built level 5 MAT-file bytes, for the reader's tests with files no writer would produce.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace dot11b::test {

class MatBytes {
 public:
  enum : std::uint32_t { miINT8 = 1, miUINT16 = 4, miINT32 = 5, miUINT32 = 6, miDOUBLE = 9, miMATRIX = 14, miCOMPRESSED = 15 };
  enum : std::uint32_t { mxCELL = 1, mxSTRUCT = 2, mxCHAR = 4, mxSPARSE = 5, mxDOUBLE = 6 };

  explicit MatBytes(bool bigEndian = false) : big_(bigEndian) {}

  std::string u32(std::uint32_t v) const {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[big_ ? 3 - i : i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
  }

  std::string header(std::uint16_t version = 0x0100) const {
    std::string h = "MATLAB 5.0 MAT-file, hand-built for tests";
    h.resize(124, ' ');
    const std::string v = u32(version);
    h += big_ ? v.substr(2, 2) : v.substr(0, 2);
    h += big_ ? "MI" : "IM";
    return h;
  }

  // A full element, padded to 8 bytes.
  std::string element(std::uint32_t type, const std::string& data, bool padded = true) const {
    std::string e = u32(type) + u32(static_cast<std::uint32_t>(data.size())) + data;
    if (padded) e.resize((e.size() + 7) / 8 * 8, '\0');
    return e;
  }

  // A small element: type and size in one word, up to 4 bytes of data.
  std::string smallElement(std::uint32_t type, const std::string& data) const {
    std::string e = u32(static_cast<std::uint32_t>(data.size()) << 16 | type) + data;
    e.resize(8, '\0');
    return e;
  }

  std::string doubles(const std::vector<double>& values) const {
    std::string data;
    for (double v : values) {
      std::uint64_t bits;
      std::memcpy(&bits, &v, 8);
      const std::string lo = u32(static_cast<std::uint32_t>(bits)), hi = u32(static_cast<std::uint32_t>(bits >> 32));
      data += big_ ? hi + lo : lo + hi;
    }
    return element(miDOUBLE, data);
  }

  std::string dims(const std::vector<std::int32_t>& d) const {
    std::string data;
    for (std::int32_t x : d) data += u32(static_cast<std::uint32_t>(x));
    return element(miINT32, data);
  }

  // An array element: flags, dimensions, name, then the class's own content.
  std::string array(std::uint32_t cls, const std::vector<std::int32_t>& d, const std::string& name,
                    const std::string& content, std::uint32_t extraFlags = 0) const {
    const std::string flags = element(miUINT32, u32(cls | extraFlags) + u32(0));
    return element(miMATRIX, flags + dims(d) + element(miINT8, name) + content);
  }

  std::string scalar(const std::string& name, double v) const { return array(mxDOUBLE, {1, 1}, name, doubles({v})); }

  std::string text(const std::string& name, const std::u16string& units) const {
    std::string data;
    for (char16_t c : units) data += u32(c).substr(big_ ? 2 : 0, 2);
    return array(mxCHAR, {1, static_cast<std::int32_t>(units.size())}, name, element(miUINT16, data));
  }

  // A 1x1 record whose fields hold the given (nameless) array elements.
  std::string record(const std::string& name, const std::vector<std::string>& fieldNames,
                     const std::vector<std::string>& fieldValues, std::uint32_t nameLength = 32) const {
    std::string names;
    for (const auto& f : fieldNames) {
      std::string slot = f;
      slot.resize(nameLength, '\0');
      names += slot;
    }
    std::string content = smallElement(miINT32, u32(nameLength)) + element(miINT8, names);
    for (const auto& v : fieldValues) content += v;
    return array(mxSTRUCT, {1, 1}, name, content);
  }

  std::string compressed(const std::string& arrayElement) const {
    uLongf size = compressBound(static_cast<uLong>(arrayElement.size()));
    std::string out(size, '\0');
    if (compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(arrayElement.data()),
                 static_cast<uLong>(arrayElement.size())) != Z_OK)
      throw std::runtime_error("compress failed");
    out.resize(size);
    return element(miCOMPRESSED, out, false);
  }

  std::string file(const std::vector<std::string>& variables) const {
    std::string f = header();
    for (const auto& v : variables) f += v;
    return f;
  }

 private:
  bool big_;
};

}  // namespace dot11b::test
