// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "runtime/display.h"
#include "runtime/literal.h"

using dot11b::rt::display;
using dot11b::rt::LiteralError;
using dot11b::rt::parseLiteral;

TEST(Literal, ParsesAndDisplaysEveryForm) {
  const std::pair<const char*, const char*> cases[] = {
      {"-3.5", "-3.5"},           {"1e-3", "0.001"},          {"Inf", "Inf"},
      {"NaN", "NaN"},             {"1+2i", "1+2i"},           {"0.5j", "0+0.5i"},
      {"-1-2.5e1i", "-1-25i"},    {"[1 0 1]", "[1 0 1]"},     {"[1 2; 3 4]", "[1 2; 3 4]"},
      {"[]", "[]"},               {"[1,2,3]", "[1 2 3]"},     {"'left-msb'", "'left-msb'"},
      {"'it''s'", "'it''s'"},     {"[1+1i 2]", "[1+1i 2+0i]"}, {"0.1", "0.10000000000000001"},
  };
  for (const auto& [literal, shown] : cases) EXPECT_EQ(display(parseLiteral(literal)), shown) << literal;
}

TEST(Literal, MalformedLiteralsAreRefused) {
  for (const char* bad : {"", "[1 2", "[1 2; 3]", "'open", "1+", "abc", "'a'b'", "[1 x]", "1..2", "'caf\xe9'"})
    EXPECT_THROW(parseLiteral(bad), LiteralError) << bad;
}

TEST(Display, RecordsFieldByFieldWithDottedNames) {
  dot11b::rt::Value inner = dot11b::rt::Value::record();
  inner.setField("Active", dot11b::rt::Value::scalar(0));
  dot11b::rt::Value r = dot11b::rt::Value::record();
  r.setField("Name", dot11b::rt::Value::text("x"));
  r.setField("MACheader", inner);
  EXPECT_EQ(display(r), "Name = 'x'\nMACheader.Active = 0");
}
