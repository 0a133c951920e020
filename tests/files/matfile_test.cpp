// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "runtime/matfile/matfile.h"
#include "test_support.h"

namespace dot11b::rt {
namespace {

Value withClass(Value v, NumericClass c) {
  v.setNumericClass(c);
  return v;
}

Value nestedRecord() {
  Value inner = Value::record();
  inner.setField("zeta", Value::scalar(2.5));
  inner.setField("alpha", Value::row({1, 0, 1}));
  Value outer = Value::record();
  outer.setField("second", Value::text("x"));
  outer.setField("first", inner);
  outer.setField("empty", Value::record());
  return outer;
}

Value mixedCells() {
  Value c = Value::cell(1, 3);
  c.cells()[0] = Value::scalar(1);
  c.cells()[1] = Value::text("two");
  c.cells()[2] = nestedRecord();
  return c;
}

// Equal as stored: NaN matches NaN (operator== follows arithmetic, where it matches nothing).
bool sameAsStored(const Value& a, const Value& b) {
  if (a == b) return true;
  if (!a.isNumeric() || !b.isNumeric() || a.rows() != b.rows() || a.cols() != b.cols() ||
      a.numericClass() != b.numericClass() || a.isComplex() != b.isComplex())
    return false;
  const auto same = [](double x, double y) { return x == y || (std::isnan(x) && std::isnan(y)); };
  for (std::size_t i = 0; i < a.numel(); ++i)
    if (!same(a.re(i), b.re(i)) || !same(a.im(i), b.im(i))) return false;
  return true;
}

struct RoundTripCase {
  const char* name;
  Value value;
};

// Test names in listings.
void PrintTo(const RoundTripCase& c, std::ostream* os) { *os << c.name; }

class MatFileRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(MatFileRoundTrip, ReadsBackWhatWasWritten) {
  test::ScratchDir dir;
  const std::string path = dir / "v.mat";
  writeMatFile(path, {{"first", GetParam().value}, {"second", Value::scalar(7)}});
  const MatVariables back = readMatFile(path);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].first, "first");
  EXPECT_TRUE(sameAsStored(back[0].second, GetParam().value)) << "read back: " << describe(back[0].second);
  EXPECT_EQ(back[1].first, "second");
}

INSTANTIATE_TEST_SUITE_P(
    Values, MatFileRoundTrip,
    ::testing::Values(
        RoundTripCase{"scalar", Value::scalar(-3.25)},
        RoundTripCase{"matrix", Value::matrix(2, 3, {1, 2, 3, 4, 5, 6})},
        RoundTripCase{"complexRow", Value::complexRow({{1, -1}, {0, 0.5}, {-2, 0}})},
        RoundTripCase{"complexColumn", Value::matrix(2, 1, {1, 2}, {3, 4})},
        RoundTripCase{"empty", Value()},
        RoundTripCase{"nanAndInf", Value::row({std::nan(""), std::numeric_limits<double>::infinity()})},
        RoundTripCase{"emptyText", Value::text("")},
        RoundTripCase{"asciiText", Value::text("dot11b - Format 1.0")},
        RoundTripCase{"nonAsciiText", Value::text("h\xC3\xA9llo \xCE\xA9 \xE2\x82\xAC")},
        RoundTripCase{"twoRowText", Value::text16(u"abcdef", 2)},
        RoundTripCase{"recordFieldOrder", nestedRecord()},
        RoundTripCase{"cells", mixedCells()},
        RoundTripCase{"int8", withClass(Value::row({-128, 0, 127}), NumericClass::Int8)},
        RoundTripCase{"uint16", withClass(Value::row({0, 65535}), NumericClass::UInt16)},
        RoundTripCase{"int64", withClass(Value::scalar(-9007199254740992.0), NumericClass::Int64)},
        RoundTripCase{"single", withClass(Value::row({0.5, -2}), NumericClass::Single)},
        RoundTripCase{"logical", withClass(Value::row({1, 0, 1}), NumericClass::Logical)},
        RoundTripCase{"complexInt32", withClass(Value::matrix(1, 2, {1, 2}, {-3, 4}), NumericClass::Int32)}),
    [](const ::testing::TestParamInfo<RoundTripCase>& info) { return std::string(info.param.name); });

TEST(MatFile, StoresTextAsSixteenBitCharacters) {
  test::ScratchDir dir;
  const std::string path = dir / "t.mat";
  writeMatFile(path, {{"t", Value::text("A\xC3\xA9\xE2\x82\xAC")}});  // A, e-acute, euro sign
  const std::string bytes = test::readBytes(path);
  // UTF-16 code units, little-endian: 0041 00E9 20AC.
  EXPECT_NE(bytes.find(std::string("\x41\x00\xE9\x00\xAC\x20", 6)), std::string::npos);
}

TEST(MatFile, WritesLevelFiveHeader) {
  test::ScratchDir dir;
  const std::string path = dir / "h.mat";
  writeMatFile(path, {{"x", Value::scalar(1)}});
  const std::string bytes = test::readBytes(path);
  ASSERT_GE(bytes.size(), 128u);
  EXPECT_EQ(bytes.substr(0, 10), "MATLAB 5.0");
  EXPECT_EQ(bytes.substr(124, 4), std::string("\x00\x01IM", 4));
}

TEST(MatFile, ReportsAFileThatCannotBeCreated) {
  test::ScratchDir dir;
  EXPECT_THROW(writeMatFile(dir / "missing/folder/x.mat", {{"x", Value::scalar(1)}}), MatFileError);
}

TEST(MatFile, ReportsAMissingFileWithItsName) {
  try {
    readMatFile("/nonexistent/file.mat");
    FAIL() << "no error";
  } catch (const MatFileError& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent/file.mat"), std::string::npos);
  }
}

TEST(MatFile, RefusesAFileOverTheSizeLimitBeforeReadingIt) {
  test::ScratchDir dir;
  const std::string path = dir / "big.mat";
  writeMatFile(path, {{"x", Value::zeros(100, 100)}});
  MatReadLimits limits;
  limits.maxFileBytes = 1000;
  EXPECT_THROW(readMatFile(path, limits), MatFileError);
}

}  // namespace
}  // namespace dot11b::rt
