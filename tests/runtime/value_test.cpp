// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "runtime/value.h"

using dot11b::rt::Value;

TEST(Value, RecordKeepsFieldsInCreationOrder) {
  Value r = Value::record();
  r.setField("zeta", Value::scalar(1));
  r.setField("alpha", Value::text("a"));
  r.setField("mid", Value());
  r.setField("zeta", Value::scalar(2));  // replacing keeps the place
  EXPECT_EQ(r.fieldNames(), (std::vector<std::string>{"zeta", "alpha", "mid"}));
  EXPECT_EQ(r.field("zeta").scalarValue(), 2);
  EXPECT_THROW(r.field("missing"), std::invalid_argument);
}

TEST(Value, EqualityDependsOnFieldOrderAndClass) {
  Value a = Value::record(), b = Value::record();
  a.setField("x", Value::scalar(1));
  a.setField("y", Value::scalar(2));
  b.setField("y", Value::scalar(2));
  b.setField("x", Value::scalar(1));
  EXPECT_FALSE(a == b);
  EXPECT_TRUE(a == a);
  EXPECT_FALSE(Value::text("1") == Value::scalar(1));
  EXPECT_FALSE(Value::row({1, 2}) == Value::column({1, 2}));
}

TEST(Value, EmptiesAreZeroByZero) {
  EXPECT_TRUE(Value().isEmpty());
  EXPECT_EQ(Value().rows(), 0u);
  EXPECT_TRUE(Value::row({}).isEmpty());
  EXPECT_TRUE(Value::text("").isEmpty());
  EXPECT_TRUE(Value::text("").isText());
  EXPECT_TRUE(Value() == Value::row({}));
  EXPECT_THROW(Value().scalarValue(), std::invalid_argument);
}

TEST(Value, ShapesWhoseElementCountOverflowAreRefused) {
  const std::size_t half = std::size_t{1} << (sizeof(std::size_t) * 8 - 1);  // half x 2 wraps to 0 elements
  EXPECT_THROW(Value::matrix(half, 2, {}), std::invalid_argument);
  EXPECT_THROW(Value::zeros(half, 2), std::invalid_argument);
  EXPECT_THROW(Value::cell(half, 2), std::invalid_argument);
  EXPECT_EQ(Value::cell(0, half).cells().size(), 0u);
}

TEST(Value, TextRoundTripsValidUtf8AndRefusesInvalidForms) {
  for (const char* valid : {"A\xc3\xa9\xe2\x82\xac", "\xf0\x9f\x93\xa1", "\xf4\x8f\xbf\xbf", "\xef\xbf\xbf"})
    EXPECT_EQ(Value::text(valid).toUtf8(), valid) << valid;
  EXPECT_EQ(Value::text("\xf0\x9f\x93\xa1").cols(), 2u);  // one surrogate pair
  const char* invalid[] = {
      "\xf4\x90\x80\x80",  // past U+10FFFF
      "\xf7\xbf\xbf\xbf",  // past U+10FFFF
      "\xed\xa0\x80",       // a surrogate
      "\xc0\xaf",            // overlong '/'
      "\xe0\x80\xaf",       // overlong '/'
      "\xf0\x80\x80\xaf",  // overlong '/'
  };
  for (const char* text : invalid) EXPECT_THROW(Value::text(text), std::invalid_argument) << text;
}

TEST(Value, NaNEqualsNothing) {
  EXPECT_FALSE(Value::scalar(NAN) == Value::scalar(NAN));
  EXPECT_TRUE(std::isnan(Value::scalar(NAN).scalarValue()));
}

TEST(Value, ComplexDataAndZeroImaginary) {
  Value z = Value::complexRow({{1, 2}, {3, 0}});
  EXPECT_TRUE(z.isComplex());
  EXPECT_EQ(z.at(0), std::complex<double>(1, 2));
  Value w = Value::complexRow({{1, 0}});
  w.dropZeroImaginary();
  EXPECT_FALSE(w.isComplex());
  EXPECT_THROW(Value::matrix(2, 2, {1, 2, 3}), std::invalid_argument);
}

TEST(Value, TextIsSixteenBitAndRoundTripsUtf8) {
  const std::string s = "Grüße \xE2\x82\xAC \xF0\x9F\x93\xA1";  // umlaut, euro sign, a character outside the BMP
  Value t = Value::text(s);
  EXPECT_EQ(t.toUtf8(), s);
  EXPECT_EQ(t.text16()[2], u'ü');
  EXPECT_EQ(t.cols(), 10u);  // eight characters, the last of which takes two 16-bit units
  EXPECT_THROW(Value::text("\xC3"), std::invalid_argument);
}
