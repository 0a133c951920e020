// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/matfile/matfile_check.h"

#include <zlib.h>

#include <algorithm>
#include <set>
#include <string>

namespace dot11b::rt {

namespace {

// Data element types and array classes of the level 5 format.
enum : std::uint32_t {
  miINT8 = 1, miUINT8 = 2, miINT16 = 3, miUINT16 = 4, miINT32 = 5, miUINT32 = 6, miSINGLE = 7,
  miDOUBLE = 9, miINT64 = 12, miUINT64 = 13, miMATRIX = 14, miCOMPRESSED = 15, miUTF8 = 16, miUTF16 = 17
};
enum : std::uint32_t { mxCELL = 1, mxSTRUCT = 2, mxCHAR = 4, mxDOUBLE = 6, mxUINT64 = 15 };

constexpr std::uint32_t kComplexFlag = 0x0800;
constexpr std::size_t kHeaderBytes = 128;
constexpr std::uint32_t kMaxRank = 8;
constexpr std::uint32_t kMaxFieldNameLength = 1024;

[[noreturn]] void fail(const std::string& why) { throw MatFileError("not a readable MAT-file: " + why); }

// Bytes per element of a numeric data type; 0 for any other type.
std::uint64_t numericTypeSize(std::uint32_t type) {
  switch (type) {
    case miINT8: case miUINT8: return 1;
    case miINT16: case miUINT16: return 2;
    case miINT32: case miUINT32: case miSINGLE: return 4;
    case miDOUBLE: case miINT64: case miUINT64: return 8;
    default: return 0;
  }
}

struct Element {
  std::uint32_t type = 0;
  std::string_view data;
  std::size_t next = 0;  // offset of the following element in the same region
};

class Scanner {
 public:
  Scanner(bool swapBytes, const MatReadLimits& limits) : swap_(swapBytes), limits_(limits) {}

  void scanFile(std::string_view file) {
    std::size_t at = kHeaderBytes;
    while (at < file.size()) {
      // Top-level elements follow each other without padding.
      const Element e = element(file, at, false);
      if (e.type == miMATRIX) {
        topLevelArray(e.data);
      } else if (e.type == miCOMPRESSED) {
        const std::string inflated = inflateOneElement(e.data);
        const Element inner = element(inflated, 0, false);
        if (inner.type != miMATRIX) fail("a compressed variable does not hold an array");
        topLevelArray(inner.data);
      } else {
        fail("unexpected top-level element of type " + std::to_string(e.type));
      }
      at = e.next;
    }
  }

 private:
  bool swap_;
  const MatReadLimits& limits_;
  std::uint64_t inflatedSoFar_ = 0;

  std::uint32_t u32(std::string_view b, std::size_t at) const {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + i])); };
    return swap_ ? (byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3))
                 : (byte(3) << 24 | byte(2) << 16 | byte(1) << 8 | byte(0));
  }

  // The element starting at `at`: a small element (type and size packed in one word, data in the next
  // four bytes) or a tag of two words followed by the data, padded to 8 bytes inside arrays. Small
  // elements are taken only where writers use them and the reader understands them (names, numbers).
  Element element(std::string_view region, std::size_t at, bool padded, bool smallAllowed = false) const {
    if (region.size() < 8 || at > region.size() - 8) fail("an element is cut off");
    const std::uint32_t first = u32(region, at);
    Element e;
    if (first >> 16 != 0) {
      if (!smallAllowed) fail("a small element where a full element belongs");
      const std::uint32_t size = first >> 16;
      if (size > 4) fail("a small element claims " + std::to_string(size) + " bytes");
      e.type = first & 0xFFFF;
      e.data = region.substr(at + 4, size);
      e.next = at + 8;
      return e;
    }
    const std::uint64_t size = u32(region, at + 4);
    if (size > region.size() - at - 8) fail("an element claims more bytes than remain");
    e.type = first;
    e.data = region.substr(at + 8, size);
    const std::uint64_t end = at + 8 + size;
    e.next = static_cast<std::size_t>(padded ? std::min<std::uint64_t>((end + 7) / 8 * 8, region.size()) : end);
    return e;
  }

  std::string inflateOneElement(std::string_view compressed) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) fail("cannot start decompression");
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    z.avail_in = static_cast<uInt>(compressed.size());
    std::string out;
    std::uint64_t wanted = 8;  // the tag first, then as many bytes as the tag declares
    char chunk[1 << 16];
    while (out.size() < wanted) {
      z.next_out = reinterpret_cast<Bytef*>(chunk);
      z.avail_out = static_cast<uInt>(std::min<std::uint64_t>(sizeof chunk, wanted - out.size()));
      const uInt inputBefore = z.avail_in;
      const int status = inflate(&z, Z_NO_FLUSH);
      const std::size_t produced = reinterpret_cast<char*>(z.next_out) - chunk;
      out.append(chunk, produced);
      if (out.size() >= 8 && wanted == 8) {
        if (u32(out, 0) >> 16 != 0) break;  // a small element: nothing more to read
        wanted = 8 + static_cast<std::uint64_t>(u32(out, 4));
        if (inflatedSoFar_ + wanted > limits_.maxInflatedBytes) {
          inflateEnd(&z);
          fail("compressed variables inflate beyond " + std::to_string(limits_.maxInflatedBytes) + " bytes");
        }
      }
      const bool stalled = produced == 0 && z.avail_in == inputBefore;
      if (status == Z_STREAM_END || (status != Z_OK && status != Z_BUF_ERROR) || stalled) break;
    }
    inflateEnd(&z);
    if (out.size() < wanted) fail("a compressed variable is cut off or damaged");
    inflatedSoFar_ += out.size();
    return out;
  }

  void topLevelArray(std::string_view content) {
    if (content.empty()) fail("a variable has no array header");
    array(content, 0, true);
  }

  void array(std::string_view m, int depth, bool topLevel) {
    if (m.empty()) return;  // an empty array of no class
    if (depth > limits_.maxDepth) fail("records or cell lists nested deeper than " + std::to_string(limits_.maxDepth));
    const Element flags = element(m, 0, true);
    if (flags.type != miUINT32 || flags.data.size() != 8) fail("an array has no valid flags");
    const std::uint32_t cls = u32(flags.data, 0) & 0xFF;
    const bool complex = (u32(flags.data, 0) & kComplexFlag) != 0;

    const Element dims = element(m, flags.next, true);
    const std::uint64_t rank = dims.data.size() / 4;
    if (dims.type != miINT32 || dims.data.size() % 4 != 0 || rank < 2 || rank > kMaxRank)
      fail("an array has no valid dimensions");
    std::uint64_t count = 1;
    for (std::uint64_t i = 0; i < rank; ++i) {
      const auto d = static_cast<std::int32_t>(u32(dims.data, 4 * i));
      if (d < 0) fail("an array has a negative dimension");
      if (d != 0 && count > (std::uint64_t{1} << 40) / static_cast<std::uint64_t>(d)) fail("an array is too large");
      count *= static_cast<std::uint64_t>(d);
    }

    const Element name = element(m, dims.next, true, true);
    if (name.type != miINT8) fail("an array has no valid name");
    // Field values and cell elements are nameless; only variables carry a name.
    if (topLevel == name.data.empty()) fail(topLevel ? "a variable has no name" : "a field or cell carries a name");
    const std::string_view rest = m.substr(name.next);

    if (cls >= mxDOUBLE && cls <= mxUINT64) return numericData(rest, count, complex);
    if (complex) fail("a text, record or cell list is marked complex");
    switch (cls) {
      case mxCHAR: return textData(rest, count);
      case mxSTRUCT: return record(rest, dims.data, depth);
      case mxCELL: return cells(rest, count, depth);
      default: fail("arrays of class " + std::to_string(cls) + " (sparse, object or function) are not supported");
    }
  }

  void numericData(std::string_view rest, std::uint64_t count, bool complex) {
    const Element re = element(rest, 0, true, true);
    const std::uint64_t size = numericTypeSize(re.type);
    if (size == 0 || re.data.size() != count * size) fail("numeric data does not match the array's size");
    if (!complex) return;
    const Element im = element(rest, re.next, true, true);
    const std::uint64_t imSize = numericTypeSize(im.type);
    if (imSize == 0 || im.data.size() != count * imSize) fail("imaginary data does not match the array's size");
  }

  void textData(std::string_view rest, std::uint64_t count) {
    const Element e = element(rest, 0, true, true);
    const std::uint64_t bytes = e.data.size();
    bool ok = false;
    if (e.type == miUINT16 || e.type == miUTF16) ok = bytes == 2 * count;
    else if (e.type == miUINT8 || e.type == miINT8) ok = bytes == count;
    else if (e.type == miUTF8) ok = bytes >= count && bytes <= 4 * count;
    if (!ok) fail("text data does not match the array's size");
  }

  void record(std::string_view rest, std::string_view dims, int depth) {
    for (std::size_t i = 0; i < dims.size() / 4; ++i)
      if (u32(dims, 4 * i) != 1) fail("record arrays (other than 1x1) are not supported");
    const Element lengthElement = element(rest, 0, true, true);
    if (lengthElement.type != miINT32 || lengthElement.data.size() != 4) fail("a record has no field name length");
    const std::uint32_t length = u32(lengthElement.data, 0);
    const Element names = element(rest, lengthElement.next, true, true);
    if (names.type != miINT8 || length == 0 || length > kMaxFieldNameLength || names.data.size() % length != 0)
      fail("a record has no valid field names");
    const std::size_t fieldCount = names.data.size() / length;
    std::set<std::string_view> seen;
    for (std::size_t i = 0; i < fieldCount; ++i) {
      const std::string_view slot = names.data.substr(i * length, length);
      const std::size_t end = slot.find('\0');
      if (end == 0 || end == std::string_view::npos) fail("a record has an empty or unterminated field name");
      if (!seen.insert(slot.substr(0, end)).second) fail("a record names a field twice");
    }
    std::size_t at = names.next;
    for (std::size_t i = 0; i < fieldCount; ++i) at = nestedArray(rest, at, depth);
  }

  void cells(std::string_view rest, std::uint64_t count, int depth) {
    std::size_t at = 0;
    for (std::uint64_t i = 0; i < count; ++i) at = nestedArray(rest, at, depth);
  }

  // A field value or cell element: a whole array element of its own. Returns the next offset.
  std::size_t nestedArray(std::string_view region, std::size_t at, int depth) {
    const Element e = element(region, at, true);
    if (e.type != miMATRIX) fail("a field or cell does not hold an array");
    array(e.data, depth + 1, false);
    return e.next;
  }
};

}  // namespace

void checkMatFileBytes(std::string_view bytes, const MatReadLimits& limits) {
  if (bytes.size() > limits.maxFileBytes)
    fail("the file is larger than " + std::to_string(limits.maxFileBytes) + " bytes");
  if (bytes.size() < kHeaderBytes) fail("the file is shorter than a MAT-file header");
  const std::string_view endian = bytes.substr(126, 2);
  if (endian != "IM" && endian != "MI") fail("no level 5 MAT-file header");
  const bool swapBytes = endian == "MI";
  const auto b0 = static_cast<unsigned char>(bytes[124]), b1 = static_cast<unsigned char>(bytes[125]);
  const unsigned version = swapBytes ? (b0 << 8 | b1) : (b1 << 8 | b0);
  if (version != 0x0100) fail("only level 5 MAT-files (version 0x0100) are read, not version " + std::to_string(version));
  Scanner(swapBytes, limits).scanFile(bytes);
}

}  // namespace dot11b::rt
