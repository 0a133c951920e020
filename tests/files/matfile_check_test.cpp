// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>

#include "mat_bytes.h"
#include "runtime/matfile/matfile.h"

namespace dot11b::rt {
namespace {

using test::MatBytes;

const MatBytes le;

std::string validRecordFile() {
  return le.file({le.record("fileParameters", {"dataRate", "name"},
                            {le.scalar("", 11), le.text("", u"\u00e9t\u00e9")})});
}

TEST(MatFileCheck, HandBuiltFileReads) {
  const MatVariables vars = readMatBytes(validRecordFile());
  ASSERT_EQ(vars.size(), 1u);
  EXPECT_EQ(vars[0].first, "fileParameters");
  EXPECT_EQ(vars[0].second.field("dataRate"), Value::scalar(11));
  EXPECT_EQ(vars[0].second.field("name"), Value::text("\xC3\xA9t\xC3\xA9"));
}

TEST(MatFileCheck, BigEndianFileReadsTheSame) {
  const MatBytes be(true);
  const MatVariables vars =
      readMatBytes(be.file({be.record("p", {"x", "t"}, {be.scalar("", -2.5), be.text("", u"ab")})}));
  ASSERT_EQ(vars.size(), 1u);
  EXPECT_EQ(vars[0].second.field("x"), Value::scalar(-2.5));
  EXPECT_EQ(vars[0].second.field("t"), Value::text("ab"));
}

TEST(MatFileCheck, CompressedVariableReads) {
  const MatVariables vars = readMatBytes(le.file({le.compressed(le.scalar("x", 4)), le.scalar("y", 5)}));
  ASSERT_EQ(vars.size(), 2u);
  EXPECT_EQ(vars[0].second, Value::scalar(4));
  EXPECT_EQ(vars[1].second, Value::scalar(5));
}

struct DamagedCase {
  const char* name;
  const char* reason;  // part of the message
  std::function<std::string()> bytes;
  MatReadLimits limits = {};

  // Test names in listings.
  friend void PrintTo(const DamagedCase& c, std::ostream* os) { *os << c.name; }
};

MatReadLimits inflateLimit(std::uint64_t bytes) {
  MatReadLimits l;
  l.maxInflatedBytes = bytes;
  return l;
}

MatReadLimits fileLimit(std::uint64_t bytes) {
  MatReadLimits l;
  l.maxFileBytes = bytes;
  return l;
}

std::string nested(int depth) {
  std::string inner = le.scalar("", 1);
  for (int i = 0; i < depth; ++i) inner = le.record("", {"r"}, {inner});
  return inner;
}

std::string replaceFirst(std::string s, const std::string& from, const std::string& to) {
  return s.replace(s.find(from), from.size(), to);
}

const DamagedCase kDamaged[] = {
    {"shortHeader", "shorter than a MAT-file header", [] { return validRecordFile().substr(0, 100); }},
    {"hdf5Version", "only level 5", [] { return le.header(0x0200) + le.scalar("x", 1); }},
    {"noEndianMark", "no level 5 MAT-file header", [] { return replaceFirst(validRecordFile(), std::string("\x00\x01IM", 4), std::string("\x00\x01XX", 4)); }},
    {"cutShort", "more bytes than remain", [] { const std::string f = validRecordFile(); return f.substr(0, f.size() - 9); }},
    {"trailingBytes", "cut off", [] { return validRecordFile() + "junk"; }},
    {"topLevelNotArray", "unexpected top-level element", [] { return le.file({le.doubles({1, 2})}); }},
    {"variableWithoutName", "has no name", [] { return le.file({le.scalar("", 1)}); }},
    {"fieldCarriesName", "carries a name", [] { return le.file({le.record("p", {"a"}, {le.scalar("f", 1)})}); }},
    {"recordArray", "record arrays", [] { return le.file({le.array(MatBytes::mxSTRUCT, {1, 2}, "p", le.smallElement(MatBytes::miINT32, le.u32(8)) + le.element(MatBytes::miINT8, ""))}); }},
    {"sparse", "not supported", [] { return le.file({le.array(MatBytes::mxSPARSE, {2, 2}, "s", le.doubles({1}))}); }},
    {"negativeDimension", "negative dimension", [] { return le.file({le.array(MatBytes::mxDOUBLE, {1, -1}, "x", le.doubles({}))}); }},
    {"oneDimension", "no valid dimensions", [] { return le.file({le.array(MatBytes::mxDOUBLE, {1}, "x", le.doubles({1}))}); }},
    {"hugeDimensionsLittleData", "does not match the array's size", [] { return le.file({le.array(MatBytes::mxDOUBLE, {100000, 100000}, "x", le.doubles({1}))}); }},
    {"hugeCellNoElements", "cut off", [] { return le.file({le.array(MatBytes::mxCELL, {65536, 65536}, "c", "")}); }},
    {"textLengthMismatch", "text data does not match", [] { return le.file({le.array(MatBytes::mxCHAR, {1, 5}, "t", le.element(MatBytes::miUINT16, "abcd"))}); }},
    {"complexText", "marked complex", [] { return le.file({le.array(MatBytes::mxCHAR, {1, 1}, "t", le.element(MatBytes::miUINT16, "ab"), 0x0800)}); }},
    {"smallFlags", "small element", [] { return le.file({le.element(MatBytes::miMATRIX, le.smallElement(MatBytes::miUINT32, le.u32(6)) + le.dims({1, 1}) + le.element(MatBytes::miINT8, "x") + le.doubles({1}))}); }},
    {"duplicateFieldNames", "names a field twice", [] { return le.file({le.record("p", {"a", "a"}, {le.scalar("", 1), le.scalar("", 2)})}); }},
    {"emptyFieldName", "empty or unterminated field name", [] { return le.file({le.record("p", {""}, {le.scalar("", 1)})}); }},
    {"unterminatedFieldName", "empty or unterminated field name", [] { return le.file({le.record("p", {"ab"}, {le.scalar("", 1)}, 2)}); }},
    {"fieldsMissing", "cut off", [] { return le.file({le.record("p", {"a", "b", "c"}, {le.scalar("", 1)})}); }},
    {"damagedCompression", "cut off or damaged", [] { return le.file({le.element(MatBytes::miCOMPRESSED, "this is not zlib data", false)}); }},
    {"compressedNotArray", "does not hold an array", [] { return le.file({le.compressed(le.doubles({1}))}); }},
    {"deepNesting", "nested deeper", [] { return le.file({le.record("p", {"r"}, {nested(40)})}); }},
    {"inflatesBeyondLimit", "inflate beyond", [] { return le.file({le.compressed(le.array(MatBytes::mxDOUBLE, {1, 1 << 18}, "z", le.doubles(std::vector<double>(1 << 18, 0.0))))}); }, inflateLimit(1 << 20)},
    {"fileBeyondLimit", "larger than", [] { return validRecordFile(); }, fileLimit(200)},
    {"threeDimensions", "more than two dimensions", [] { return le.file({le.array(MatBytes::mxDOUBLE, {1, 1, 2}, "x", le.doubles({1, 2}))}); }},
};

class DamagedMatFile : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedMatFile, IsRefusedWithAReason) {
  try {
    readMatBytes(GetParam().bytes(), GetParam().limits);
    FAIL() << "accepted";
  } catch (const MatFileError& e) {
    EXPECT_NE(std::string(e.what()).find(GetParam().reason), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedMatFile, ::testing::ValuesIn(kDamaged),
                         [](const ::testing::TestParamInfo<DamagedCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace dot11b::rt
